// make-stocklist: writes a warehouse stock export to stdout, as the programs our users split
// produce it: code page 936 text, tab-separated fields, CR LF lines, a header line first.
// The same options give the same bytes on every platform, so a sample or a benchmark input can be
// made again instead of kept.
//
//   make-stocklist [--lines N] [--bytes N] [--seed S]
//
// --lines N  stop after N lines (the header counts); the default when --bytes is not given is 1000
// --bytes N  stop before the line that would take the output past N bytes
// --seed S   another seed gives other items (default 1)
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Code page 936 byte strings, with their characters beside them.
constexpr std::string_view kHeader[] = {
    "\xC9\xCC\xC6\xB7\xB1\xE0\xC2\xEB",  // 商品编码
    "\xC9\xCC\xC6\xB7\xC3\xFB\xB3\xC6",  // 商品名称
    "\xB9\xE6\xB8\xF1\xD0\xCD\xBA\xC5",  // 规格型号
    "\xB5\xA5\xCE\xBB",                  // 单位
    "\xBF\xE2\xB4\xE6\xCA\xFD\xC1\xBF",  // 库存数量
    "\xB5\xA5\xBC\xDB",                  // 单价
    "\xBD\xF0\xB6\xEE",                  // 金额
    "\xB2\xD6\xBF\xE2",                  // 仓库
    "\xBB\xF5\xCE\xBB",                  // 货位
    "\xC8\xEB\xBF\xE2\xC8\xD5\xC6\xDA",  // 入库日期
    "\xD7\xB4\xCC\xAC",                  // 状态
};

// The last few hold characters outside GB2312 whose second byte is an ASCII one ('F', '@', '\',
// '|'): real exports have them, and a line scan that forgets the pair rule stumbles on them.
constexpr std::string_view kBrands[] = {
    "\xBF\xC9\xBF\xDA\xBF\xC9\xC0\xD6",  // 可口可乐
    "\xD1\xA9\xB1\xCC",                  // 雪碧
    "\xBF\xB5\xCA\xA6\xB8\xB5",          // 康师傅
    "\xCD\xB3\xD2\xBB",                  // 统一
    "\xC5\xA9\xB7\xF2\xC9\xBD\xC8\xAA",  // 农夫山泉
    "\xE2\xF9\xB1\xA6",                  // 怡宝
    "\xD2\xC1\xC0\xFB",                  // 伊利
    "\xC3\xC9\xC5\xA3",                  // 蒙牛
    "\xB9\xE2\xC3\xF7",                  // 光明
    "\xCD\xFA\xCD\xFA",                  // 旺旺
    "\xB4\xEF\xC0\xFB\xD4\xB0",          // 达利园
    "\xCD\xDE\xB9\xFE\xB9\xFE",          // 娃哈哈
    "\xC7\xE0\xB5\xBA",                  // 青岛
    "\xD1\xA9\xBB\xA8",                  // 雪花
    "\xBD\xF0\xC1\xFA\xD3\xE3",          // 金龙鱼
    "\xC2\xB3\xBB\xA8",                  // 鲁花
    "\xBA\xA3\xCC\xEC",                  // 海天
    "\xC0\xEE\xBD\xF5\xBC\xC7",          // 李锦记
    "\xC0\xCF\xB8\xC9\xC2\xE8",          // 老干妈
    "\xCB\xAB\xBB\xE3",                  // 双汇
    "\xC7\xA2\xC7\xA2",                  // 洽洽
    "\xC8\xFD\xD6\xBB\xCB\xC9\xCA\xF3",  // 三只松鼠
    "\xC1\xBC\xC6\xB7\xC6\xCC\xD7\xD3",  // 良品铺子
    "\xB0\xD7\xCF\xF3",                  // 白象
    "\xBD\xF1\xC2\xF3\xC0\xC9",          // 今麦郎
    "\xC1\xF9\xB8\xF6\xBA\xCB\xCC\xD2",  // 六个核桃
    "\xCD\xF5\xC0\xCF\xBC\xAA",          // 王老吉
    "\xBC\xD3\xB6\xE0\xB1\xA6",          // 加多宝
    "\xF6\xCE\xD4\xB4",                  // 鑫源
    "\x95\x46\x88\x40",                  // 旻園
    "\x86\xB4\xBC\xC7",                  // 喆记
    "\x81\x5C\xB7\xE7",                  // 乗风
};

constexpr std::string_view kProducts[] = {
    "\xBA\xEC\xC9\xD5\xC5\xA3\xC8\xE2\xC3\xE6",  // 红烧牛肉面
    "\xBF\xF3\xC8\xAA\xCB\xAE",                  // 矿泉水
    "\xB4\xBF\xC5\xA3\xC4\xCC",                  // 纯牛奶
    "\xCB\xE1\xC4\xCC",                          // 酸奶
    "\xBB\xA8\xC9\xFA\xD3\xCD",                  // 花生油
    "\xBD\xB4\xD3\xCD",                          // 酱油
    "\xB3\xC2\xB4\xD7",                          // 陈醋
    "\xBB\xF0\xCD\xC8\xB3\xA6",                  // 火腿肠
    "\xCA\xED\xC6\xAC",                          // 薯片
    "\xB1\xFD\xB8\xC9",                          // 饼干
    "\xB7\xBD\xB1\xE3\xC3\xE6",                  // 方便面
    "\xC2\xCC\xB2\xE8",                          // 绿茶
    "\xB1\xF9\xBA\xEC\xB2\xE8",                  // 冰红茶
    "\xB9\xFB\xD6\xAD",                          // 果汁
    "\xC6\xA1\xBE\xC6",                          // 啤酒
    "\xB0\xD7\xBE\xC6",                          // 白酒
    "\xB9\xCF\xD7\xD3",                          // 瓜子
    "\xBC\xE1\xB9\xFB\xC0\xF1\xBA\xD0",          // 坚果礼盒
    "\xB4\xF3\xC3\xD7",                          // 大米
    "\xC3\xE6\xB7\xDB",                          // 面粉
    "\xCA\xB3\xD1\xCE",                          // 食盐
    "\xB0\xD7\xC9\xB0\xCC\xC7",                  // 白砂糖
    "\xCE\xB6\xBE\xAB",                          // 味精
    "\xBC\xA6\xBE\xAB",                          // 鸡精
    "\xC0\xB1\xBD\xB7\xBD\xB4",                  // 辣椒酱
    "\xF2\xBA\xD3\xCD",                          // 蚝油
    "\xCF\xB4\xD2\xC2\xB7\xDB",                  // 洗衣粉
    "\xCF\xB4\xBD\xE0\xBE\xAB",                  // 洗洁精
    "\xCE\xC0\xC9\xFA\xD6\xBD",                  // 卫生纸
    "\xD1\xC0\xB8\xE0",                          // 牙膏
    "\xCF\xF0\xBD\xBA\x89\x7C\xC6\xAC",          // 橡胶墊片
};

constexpr std::string_view kUnits[] = {
    "\xCF\xE4",          // 箱
    "\xBC\xFE",          // 件
    "\xB8\xF6",          // 个
    "\xC6\xBF",          // 瓶
    "\xB4\xFC",          // 袋
    "\xB0\xFC",          // 包
    "\xBA\xD0",          // 盒
    "\xCD\xB0",          // 桶
    "\xCC\xFD",          // 听
    "\xCC\xF5",          // 条
    "\xC7\xA7\xBF\xCB",  // 千克
    "\xCC\xE1",          // 提
};

// What a pack size such as "500ml*12瓶" counts.
constexpr std::string_view kPacks[] = {
    "\xC6\xBF",  // 瓶
    "\xB4\xFC",  // 袋
    "\xBA\xD0",  // 盒
    "\xB9\xDE",  // 罐
    "\xB0\xFC",  // 包
    "\xD6\xA7",  // 支
};

constexpr std::string_view kPlainSpecs[] = {
    "\xB1\xEA\xD7\xBC\xD7\xB0",  // 标准装
    "\xBC\xD2\xCD\xA5\xD7\xB0",  // 家庭装
};

constexpr std::string_view kWarehouses[] = {
    "\xD2\xBB\xBA\xC5\xB2\xD6\xBF\xE2",  // 一号仓库
    "\xB6\xFE\xBA\xC5\xB2\xD6\xBF\xE2",  // 二号仓库
    "\xC8\xFD\xBA\xC5\xB2\xD6\xBF\xE2",  // 三号仓库
    "\xBB\xAA\xB6\xAB\xB2\xD6",          // 华东仓
    "\xBB\xAA\xB1\xB1\xB2\xD6",          // 华北仓
    "\xBB\xAA\xC4\xCF\xB2\xD6",          // 华南仓
    "\xCE\xF7\xC4\xCF\xB2\xD6",          // 西南仓
    "\xC0\xE4\xC1\xB4\xB2\xD6",          // 冷链仓
    "\xCD\xCB\xBB\xF5\xB2\xD6",          // 退货仓
};

// Weighted: most items are in normal stock.
constexpr std::string_view kStates[] = {
    "\xD5\xFD\xB3\xA3",  // 正常
    "\xD5\xFD\xB3\xA3",  // 正常
    "\xD5\xFD\xB3\xA3",  // 正常
    "\xD5\xFD\xB3\xA3",  // 正常
    "\xCC\xD8\xBC\xDB",  // 特价
    "\xB4\xD9\xCF\xFA",  // 促销
    "\xCD\xA3\xCA\xDB",  // 停售
    "\xD4\xDA\xCD\xBE",  // 在途
};

constexpr unsigned kSizes[] = {100, 250, 330, 350, 500, 550, 600, 750, 1000, 1500, 2000, 5000};
constexpr unsigned kCounts[] = {1, 4, 6, 10, 12, 15, 20, 24, 30, 40};

// splitmix64: tiny, fast, and the same numbers everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

 private:
  std::uint64_t state_;
};

// Takes a value below `n` from the low bits of `bits` and drops them.
unsigned Take(std::uint64_t& bits, unsigned n) {
  unsigned v = static_cast<unsigned>(bits % n);
  bits /= n;
  return v;
}

template <std::size_t n>
std::string_view Pick(std::uint64_t& bits, const std::string_view (&table)[n]) {
  return table[Take(bits, n)];
}

class LineWriter {
 public:
  void Put(std::string_view s) {
    std::memcpy(p_, s.data(), s.size());
    p_ += s.size();
  }
  void Put(char c) { *p_++ = c; }
  void Tab() { *p_++ = '\t'; }
  // At least `width` digits, zero-padded.
  void Number(std::uint64_t v, int width = 1) {
    char digits[24];
    int n = 0;
    do {
      digits[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    while (n < width) digits[n++] = '0';
    while (n > 0) *p_++ = digits[--n];
  }
  void Money(std::uint64_t cents) {
    Number(cents / 100);
    *p_++ = '.';
    Number(cents % 100, 2);
  }
  void End() {
    *p_++ = '\r';
    *p_++ = '\n';
  }
  std::string_view Line() const { return {line_, static_cast<std::size_t>(p_ - line_)}; }

 private:
  char line_[512];
  char* p_ = line_;
};

void WriteHeader(LineWriter& line) {
  for (std::size_t i = 0; i < std::size(kHeader); ++i) {
    if (i != 0) line.Tab();
    line.Put(kHeader[i]);
  }
  line.End();
}

void WriteItem(Random& random, std::uint64_t item, LineWriter& line) {
  std::uint64_t bits = random.Next();
  std::uint64_t more = random.Next();

  line.Put("SP");
  line.Number(100000 + item % 900000, 6);
  line.Tab();
  line.Put(Pick(bits, kBrands));
  line.Put(Pick(bits, kProducts));
  line.Tab();
  if (Take(bits, 5) == 0) {
    line.Put(Pick(bits, kPlainSpecs));
  } else {
    line.Number(kSizes[Take(bits, std::size(kSizes))]);
    line.Put(Take(bits, 2) == 0 ? "g*" : "ml*");
    line.Number(kCounts[Take(bits, std::size(kCounts))]);
    line.Put(Pick(bits, kPacks));
  }
  line.Tab();
  line.Put(Pick(bits, kUnits));
  line.Tab();
  unsigned quantity = Take(more, 10) == 0 ? 0 : Take(more, 5000);
  line.Number(quantity);
  line.Tab();
  unsigned price = 150 + Take(more, 30000);  // in fen
  line.Money(price);
  line.Tab();
  line.Money(std::uint64_t{price} * quantity);
  line.Tab();
  line.Put(Pick(more, kWarehouses));
  line.Tab();
  line.Put(static_cast<char>('A' + Take(more, 6)));
  line.Put('-');
  line.Number(1 + Take(more, 40), 2);
  line.Put('-');
  line.Number(1 + Take(more, 30), 2);
  line.Tab();
  line.Number(2022 + Take(more, 3));
  line.Put('-');
  line.Number(1 + Take(more, 12), 2);
  line.Put('-');
  line.Number(1 + Take(more, 28), 2);
  line.Tab();
  line.Put(Pick(more, kStates));
  line.End();
}

bool ParseCount(const char* text, std::uint64_t* value) {
  if (*text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0') return false;
  *value = v;
  return true;
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "make-stocklist: %s\n"
               "usage: make-stocklist [--lines N] [--bytes N] [--seed S] > FILE\n",
               problem);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t max_lines = UINT64_MAX;
  std::uint64_t max_bytes = UINT64_MAX;
  std::uint64_t seed = 1;
  bool limited = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::uint64_t* target = arg == "--lines"   ? &max_lines
                            : arg == "--bytes" ? &max_bytes
                            : arg == "--seed"  ? &seed
                                               : nullptr;
    if (target == nullptr) return Usage(("unknown argument '" + std::string(arg) + "'").c_str());
    if (i + 1 == argc) return Usage((std::string(arg) + " needs a value").c_str());
    if (!ParseCount(argv[++i], target)) {
      return Usage(("'" + std::string(argv[i]) + "' is not a whole number").c_str());
    }
    if (target != &seed) limited = true;
  }
  if (!limited) max_lines = 1000;

#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  // Large writes: a gigabyte must take seconds, not minutes.
  constexpr std::size_t kBufferSize = std::size_t{1} << 20;
  std::vector<char> buffer(kBufferSize);
  std::size_t used = 0;
  std::uint64_t written = 0;
  auto fail = [] {
    std::fprintf(stderr, "make-stocklist: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  };

  Random random(seed);
  for (std::uint64_t n = 0; n < max_lines; ++n) {
    LineWriter line;
    if (n == 0) {
      WriteHeader(line);
    } else {
      WriteItem(random, n, line);
    }
    std::string_view bytes = line.Line();
    if (max_bytes - written < bytes.size()) break;
    if (kBufferSize - used < bytes.size()) {
      if (std::fwrite(buffer.data(), 1, used, stdout) != used) return fail();
      used = 0;
    }
    std::memcpy(buffer.data() + used, bytes.data(), bytes.size());
    used += bytes.size();
    written += bytes.size();
  }
  if (std::fwrite(buffer.data(), 1, used, stdout) != used || std::fflush(stdout) != 0) {
    return fail();
  }
  return 0;
}
