#pragma once

namespace lirako {

// Why a book could not be opened, in the words the page shows under "열 수 없습니다".
inline constexpr char kReasonNotFound[] = "파일이 없습니다";
inline constexpr char kReasonNoPermission[] = "읽을 권한이 없습니다";
inline constexpr char kReasonFolder[] = "폴더입니다";
inline constexpr char kReasonNotRegularFile[] = "일반 파일이 아닙니다";
inline constexpr char kReasonTooLarge[] = "파일이 너무 큽니다";
// The path is longer than the system's 4096 bytes, or one of its names than 255.
inline constexpr char kReasonNameTooLong[] = "경로나 이름이 너무 길어 열 수 없습니다";
inline constexpr char kReasonSizeUnknown[] = "파일의 크기를 알 수 없습니다";
inline constexpr char kReasonNoByteOrderMark[] = "UTF-16 표시가 없습니다";

}  // namespace lirako
