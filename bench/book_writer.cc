// Writes one generated book, as engine_bench makes them, for the benchmarks that run the
// reader program itself (bench/startup, bench/screen):
//   book_writer PATH SIZE_BYTES cp949|utf16|utf8 SEED
// A file of the right size already at PATH is kept (engine_bench names its books
// cp949-SIZE.txt and utf16-SIZE.txt and seeds them 1, 2 for the small and 3, 4 for the
// large pair, so the books are shared; bench/screen writes its UTF-8 books under engine_bench's
// names, utf8-SIZE.txt, when they are missing).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/support/book_generator.h"

int main(int argc, char** argv) {
  using namespace lirako::bench;
  if (argc != 5) {
    std::fprintf(stderr, "usage: book_writer PATH SIZE_BYTES cp949|utf16|utf8 SEED\n");
    return 2;
  }
  const long long size = std::atoll(argv[2]);
  const BookEncoding encoding = std::strcmp(argv[3], "utf16") == 0  ? BookEncoding::kUtf16Le
                                : std::strcmp(argv[3], "utf8") == 0 ? BookEncoding::kUtf8
                                                                    : BookEncoding::kCp949;
  const uint64_t seed = std::strtoull(argv[4], nullptr, 10);
  if (size <= 0 || !EnsureBook(argv[1], size, encoding, seed)) {
    std::fprintf(stderr, "book_writer: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
