#include "engine/splitter.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "engine/memory.h"
#include "engine/text.h"

namespace vevidav {
namespace {

#ifdef _WIN32
constexpr wchar_t kStem[] = L"\u5B9E\u65F6\u5E93\u5B58";  // 实时库存
#else
constexpr char kStem[] = "\xE5\xAE\x9E\xE6\x97\xB6\xE5\xBA\x93\xE5\xAD\x98";  // 实时库存, UTF-8
#endif

// Writes the pieces one after another. A piece's file is created when its first byte is known,
// so a text that ends right after a piece's last line end leaves no empty extra piece. A piece
// that cannot be created or written is recorded and its remaining bytes are dropped.
class PieceWriter {
 public:
  PieceWriter(const NativePath& dir, const InputFile& input, SplitResult* result)
      : dir_(dir), input_(input), result_(result) {}

  void Write(const char* data, std::size_t size) {
    if (size == 0) return;
    if (state_ == State::kNotStarted) Start();
    if (state_ != State::kOpen) return;
    std::string reason;
    if (!file_.Write(data, size, &reason)) Fail(std::move(reason));
  }

  // The current piece is complete; the next bytes belong to the next number.
  void Finish() {
    if (state_ == State::kNotStarted) Start();
    if (state_ == State::kOpen) {
      std::string reason;
      if (file_.Close(&reason)) {
        ++result_->pieces_written;
      } else {
        Fail(std::move(reason));
      }
    }
    ++number_;
    state_ = State::kNotStarted;
  }

  // The input failed: the piece being written stays as it is, counted neither way.
  void Abandon() {
    std::string ignored;
    file_.Close(&ignored);
    state_ = State::kNotStarted;
  }

  // The old contents of pieces that were the input itself. Removed once the input is closed and
  // everything was written; after any failure they stay, so no line of the input is lost.
  const std::vector<NativePath>& asides() const { return asides_; }

 private:
  enum class State { kNotStarted, kOpen, kFailed };

  void Start() {
    NativePath path = PiecePath(dir_, number_);
    std::string reason;
    // Creating the piece would truncate the very file being read (by its name or a hard link):
    // rename it aside first, the open input goes on reading the old data.
    NativePath aside;
    if (input_.IsSameFileAs(path)) {
      if (!MoveAside(path, &aside, &reason)) {
        Fail(std::move(reason));
        return;
      }
    }
    if (!file_.Create(path, &reason)) {
      if (!aside.empty()) {
        std::error_code ignored;
        std::filesystem::rename(aside, path, ignored);
      }
      Fail(std::move(reason));
      return;
    }
    if (!aside.empty()) asides_.push_back(std::move(aside));
    state_ = State::kOpen;
  }

  void Fail(std::string reason) {
    std::string ignored;
    file_.Close(&ignored);  // a piece cut short keeps what was written
    state_ = State::kFailed;
    ++result_->pieces_failed;
    if (result_->first_failures.size() < kMaxListedFailures)
      result_->first_failures.push_back({PiecePath(dir_, number_), std::move(reason)});
  }

  const NativePath& dir_;
  const InputFile& input_;
  SplitResult* result_;
  std::int64_t number_ = 1;
  State state_ = State::kNotStarted;
  OutputFile file_;
  std::vector<NativePath> asides_;
};

struct FreeBlock {
  void operator()(void* block) const noexcept { FreeResult(block); }
};

// Hands the piece writes to a second thread, so that reading and scanning the next block goes on
// while the last one is written: the two halves take about the same time, and each has a core.
// The writes are queued as jobs of a few operations that point into the read blocks; a block is
// read into again only once every job that points into it is done. Without a thread (it could
// not be started) every job runs at once on the caller's thread.
class WritePipeline {
 public:
  explicit WritePipeline(PieceWriter* pieces)
      : pieces_(pieces), ops_(static_cast<Op*>(AllocateResult(sizeof(Op) * kSlots * kOpsPerJob))) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (...) {
      // No second thread: the writes are done in line.
    }
  }
  WritePipeline(const WritePipeline&) = delete;
  WritePipeline& operator=(const WritePipeline&) = delete;
  // Leaving early (an exception from a callback): the jobs handed over are still done, so that
  // no write outlives the blocks it points into.
  ~WritePipeline() { Stop(); }

  void Write(const char* data, std::size_t size) {
    if (size > 0) Add({Kind::kWrite, data, size});
  }
  void Finish() { Add({Kind::kFinish, nullptr, 0}); }
  void Abandon() { Add({Kind::kAbandon, nullptr, 0}); }

  // Hands the operations added so far over; gives the number of the last job they are in.
  std::uint64_t Flush() {
    if (filled_ > 0) {
      std::unique_lock<std::mutex> lock(mutex_);
      sizes_[handed_ % kSlots] = filled_;
      ++handed_;
      filled_ = 0;
      if (!thread_.joinable()) {
        lock.unlock();
        RunJob(handed_ - 1);
        lock.lock();
        ++done_;
      }
      work_.notify_one();
    }
    return handed_;
  }

  // Waits until jobs up to number `job` are done.
  void WaitFor(std::uint64_t job) {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return done_ >= job; });
  }

  // Every job done, the thread ended; an exception the writes raised is raised here.
  void Close() {
    Flush();
    Stop();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
  }

 private:
  enum class Kind { kWrite, kFinish, kAbandon };
  struct Op {
    Kind kind;
    const char* data;
    std::size_t size;
  };
  static constexpr std::size_t kSlots = 8;
  static constexpr std::size_t kOpsPerJob = 256;

  void Add(const Op& op) {
    if (filled_ == 0) WaitFor(handed_ + 1 - std::min<std::uint64_t>(handed_ + 1, kSlots));
    ops_.get()[(handed_ % kSlots) * kOpsPerJob + filled_++] = op;
    if (filled_ == kOpsPerJob) Flush();
  }

  void Stop() noexcept {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    work_.notify_one();
    thread_.join();
  }

  void RunJob(std::uint64_t job) {
    const Op* op = ops_.get() + (job % kSlots) * kOpsPerJob;
    for (std::size_t i = 0; i < sizes_[job % kSlots]; ++i, ++op) {
      switch (op->kind) {
        case Kind::kWrite:
          pieces_->Write(op->data, op->size);
          break;
        case Kind::kFinish:
          pieces_->Finish();
          break;
        case Kind::kAbandon:
          pieces_->Abandon();
          break;
      }
    }
  }

  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_.wait(lock, [&] { return done_ < handed_ || closing_; });
      if (done_ == handed_) return;
      lock.unlock();
      try {
        if (!error_) RunJob(done_);
      } catch (...) {
        error_ = std::current_exception();
      }
      lock.lock();
      ++done_;
      finished_.notify_all();
    }
  }

  PieceWriter* pieces_;
  std::unique_ptr<Op, FreeBlock> ops_;
  std::size_t sizes_[kSlots] = {};
  std::size_t filled_ = 0;    // operations in the job being filled (slot handed_ % kSlots)
  std::uint64_t handed_ = 0;  // jobs handed over
  std::uint64_t done_ = 0;    // jobs done, always in order
  bool closing_ = false;
  std::exception_ptr error_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable finished_;
  std::thread thread_;
};

}  // namespace

NativePath PiecePath(const NativePath& dir, std::int64_t number) {
#ifdef _WIN32
  return dir / (kStem + std::to_wstring(number) + L".txt");
#else
  return dir / (kStem + std::to_string(number) + ".txt");
#endif
}

SplitResult SplitFile(const NativePath& input_path, const NativePath& out_dir,
                      const SplitOptions& options) {
  SplitResult result;
  InputFile input;
  if (!input.Open(input_path, &result.input_error)) {
    result.input_read = false;
    return result;
  }
  const std::int64_t lines_per_piece = std::max<std::int64_t>(options.lines_per_piece, 1);
  const std::size_t block_size = std::max<std::size_t>(options.block_size, 1);
  // One block being read, one being written, one in between: neither side waits for the other
  // as long as both keep pace.
  constexpr std::size_t kBlocks = 3;
  std::unique_ptr<char, FreeBlock> blocks(static_cast<char*>(AllocateResult(kBlocks * block_size)));
  std::uint64_t last_job[kBlocks] = {};  // the last write job pointing into each block

  PieceWriter writer(out_dir, input, &result);
  WritePipeline pieces(&writer);
  LineEndScanner scanner;
  std::int64_t lines = 0;   // line ends in the current piece
  bool open_line = false;   // text after the last line end (or the piece's start)
  bool held_cr = false;     // a CR ended the last block; its meaning is in the next one
  bool text_ended = false;  // a zero byte was met
  std::uint64_t done = 0;

  for (std::uint64_t block_number = 0; !text_ended; ++block_number) {
    const std::size_t slot = block_number % kBlocks;
    char* block = blocks.get() + slot * block_size;
    pieces.WaitFor(last_job[slot]);
    std::string reason;
    std::int64_t got = options.read_block ? options.read_block(input, block, block_size, &reason)
                                          : input.Read(block, block_size, &reason);
    if (got < 0) {
      result.input_read = false;
      result.input_error = std::move(reason);
      pieces.Abandon();
      break;
    }
    if (got == 0) break;
    done += static_cast<std::uint64_t>(got);
    const char* data = block;
    std::size_t size = static_cast<std::size_t>(got);
    // The text ends at the first zero byte.
    if (const void* zero = std::memchr(data, 0, size)) {
      size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
      text_ended = true;
    }

    std::size_t written = 0;  // the block's bytes before this are dealt with
    std::size_t at = 0;
    for (;;) {
      // Only the line end that completes the piece needs its place; those before it are counted.
      // A CR held from the last block is looked at alone: it may begin this block's first one.
      const std::int64_t wanted = held_cr ? 1 : lines_per_piece - lines;
      std::size_t end = 0;
      const std::int64_t found = scanner.Skip(data, size, at, wanted, &end);
      if (held_cr) {
        held_cr = false;
        if (found == 1 && end == 1) {
          // CR LF across two blocks. It ends the piece (and is dropped), or is the piece's text.
          if (++lines == lines_per_piece) {
            pieces.Finish();
            lines = 0;
            written = 1;
          } else {
            pieces.Write("\r", 1);
          }
          open_line = false;
          at = 1;
          continue;
        }
        pieces.Write("\r", 1);
      }
      if (found < wanted) {
        if (found > 0) {
          lines += found;
          open_line = false;
          at = end;
        }
        std::size_t stop = size;
        if (stop > at && scanner.EndsInCarriageReturn()) {
          held_cr = true;
          --stop;
        }
        pieces.Write(data + written, stop - written);
        if (size > at) open_line = true;
        break;
      }
      lines += found;
      if (lines == lines_per_piece) {
        // The piece's last line end is not part of it.
        pieces.Write(data + written, end - 2 - written);
        pieces.Finish();
        lines = 0;
        written = end;
      }
      open_line = false;
      at = end;
    }
    last_job[slot] = pieces.Flush();
    if (options.progress) options.progress(done, input.Size());
  }

  if (result.input_read) {
    if (held_cr) pieces.Write("\r", 1);  // a CR that ends the text is text
    // A last line without line end still counts. When it completes its piece, that piece is a
    // full one (no line end after its last line); else the final partial piece gets CR LF after
    // its last line too.
    if (open_line && lines + 1 < lines_per_piece) pieces.Write("\r\n", 2);
    if (open_line || lines > 0) pieces.Finish();
  }
  pieces.Close();
  input.Close();
  if (result.Succeeded()) {
    for (const NativePath& aside : writer.asides()) RemoveFile(aside);
  }
  return result;
}

}  // namespace vevidav
