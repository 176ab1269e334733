// Reassembly throughput: a stream of realistic cell replies fed to the receiver in
// arrivals of 1 B, 64 B, 4 KiB and 64 KiB, against a plain memcpy of the same
// bytes in the same pieces. Also one large message in many pieces, to show that
// the cost per byte does not grow with the message.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "protocol/dwbuffer.h"
#include "protocol/messagereceiver.h"

namespace {

using orvenda::DWBUffer;
using Clock = std::chrono::steady_clock;

class NullViewer : public orvenda::ViewerContext {
 public:
  std::int32_t PendingRequests() const override { return 1; }
  void SetPendingRequests(std::int32_t) override {}
  void SetMousePointer(int) override {}
  void RestoreToolPointer() override {}
  void ShowReadingData(bool) override {}
  std::uint32_t ReadingDataColour() const override { return 0; }
  void SetReadingDataColour(std::uint32_t) override {}
  void FinishLoadingPass() override {}
};

// A cell reply: layer, cell, origin, then elements of a few vertices each as
// Single offsets, about the size the server sends for a dense cell.
std::vector<std::uint8_t> CellReply(std::mt19937& rng, int elements) {
  DWBUffer b;
  b.CrearHeader();
  b.PutInteger(102);
  b.PutLong(3);
  b.PutLong(static_cast<std::int32_t>(rng() % 360));
  b.PutLong(static_cast<std::int32_t>(rng() % 180));
  b.PutLong(elements);
  for (int e = 0; e < elements; ++e) {
    b.PutLong(static_cast<std::int32_t>(rng()));
    const int n = 2 + static_cast<int>(rng() % 30);
    b.PutInteger(static_cast<std::int16_t>(n));
    for (int v = 0; v < n; ++v) {
      b.PutSingle(static_cast<float>(rng() % 1000) / 1000.0f);
      b.PutSingle(static_cast<float>(rng() % 1000) / 1000.0f);
    }
  }
  b.cerrarMensaje(0);
  return b.buffer();
}

std::vector<std::uint8_t> Stream(std::size_t target) {
  std::mt19937 rng(42);
  std::vector<std::uint8_t> s;
  while (s.size() < target) {
    const int elements =
        rng() % 4 == 0 ? 1 + static_cast<int>(rng() % 5) : 20 + static_cast<int>(rng() % 400);
    const auto m = CellReply(rng, elements);
    s.insert(s.end(), m.begin(), m.end());
  }
  return s;
}

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

double ReceiveSeconds(const std::vector<std::uint8_t>& s, std::size_t piece,
                      std::size_t* messages) {
  NullViewer viewer;
  orvenda::MessageReceiver r(viewer);
  std::size_t count = 0, checksum = 0;
  r.SetDeliver([&](DWBUffer& m) {
    ++count;
    checksum += static_cast<std::size_t>(m.TamanoBuffer());
  });
  const auto t0 = Clock::now();
  for (std::size_t pos = 0; pos < s.size(); pos += piece) {
    r.Receive(s.data() + pos, std::min(piece, s.size() - pos));
  }
  const auto t1 = Clock::now();
  if (checksum != s.size()) std::fprintf(stderr, "lost bytes: %zu of %zu\n", checksum, s.size());
  *messages = count;
  return Seconds(t0, t1);
}

double MemcpySeconds(const std::vector<std::uint8_t>& s, std::size_t piece) {
  // The destination is touched first so that the copy pays no page faults.
  std::vector<std::uint8_t> dst(s.size(), 1);
  const auto t0 = Clock::now();
  for (std::size_t pos = 0; pos < s.size(); pos += piece) {
    std::memcpy(dst.data() + pos, s.data() + pos, std::min(piece, s.size() - pos));
  }
  const auto t1 = Clock::now();
  volatile std::uint8_t sink = dst[s.size() / 2];
  (void)sink;
  return Seconds(t0, t1);
}

template <typename F>
double Best(int runs, F f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) best = std::min(best, f());
  return best;
}

}  // namespace

int main() {
  const auto stream = Stream(64u << 20);
  const double mb = static_cast<double>(stream.size()) / 1e6;
  std::printf("stream: %.1f MB of cell replies\n", mb);
  std::printf("%10s %12s %12s %12s %10s\n", "arrival", "messages", "recv MB/s", "memcpy MB/s",
              "ratio");
  for (std::size_t piece :
       {std::size_t{1}, std::size_t{64}, std::size_t{4096}, std::size_t{65536}}) {
    std::size_t messages = 0;
    const int runs = piece == 1 ? 1 : 5;
    const double recv = Best(runs, [&] { return ReceiveSeconds(stream, piece, &messages); });
    const double copy = Best(runs, [&] { return MemcpySeconds(stream, piece); });
    std::printf("%10zu %12zu %12.0f %12.0f %9.0f%%\n", piece, messages, mb / recv, mb / copy,
                100.0 * copy / recv);
  }

  std::printf("one large message in 4 KiB arrivals (cost per byte should not grow):\n");
  for (std::size_t size : {std::size_t{1} << 20, std::size_t{8} << 20}) {
    DWBUffer big;
    big.CrearHeader();
    big.PutInteger(102);
    std::vector<std::uint8_t> body(size, 7);
    big.Add2Buffer(body);
    big.cerrarMensaje(0);
    std::size_t messages = 0;
    const double t = Best(5, [&] { return ReceiveSeconds(big.bytes(), 4096, &messages); });
    std::printf("%10zu bytes: %8.2f ns/byte (%zu message)\n", big.bytes().size(),
                1e9 * t / static_cast<double>(big.bytes().size()), messages);
  }
  return 0;
}
