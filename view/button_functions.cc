#include "view/button_functions.h"

namespace lirako {

const std::array<std::u16string, kButtonFunctionTableSize>& ButtonFunctionLabels() {
  static const std::array<std::u16string, kButtonFunctionTableSize> labels = {
      u"<없음>",        u"이전쪽",        u"다음쪽",      u"이전줄",      u"다음줄",
      u"전체화면 전환", u"책갈피 지정",   u"찾기",        u"점프",        u"문서 열기",
      u"설정",          u"가로보기 전환", u"자동 스크롤", u"리라코 종료",
  };
  return labels;
}

}  // namespace lirako
