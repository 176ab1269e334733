// Open to picture: the map server and a Viewer in one process, on loopback. For each
// map given, a fresh viewer of 1920 x 1080 logs in as the demo user and opens it; the
// clock runs from request 10 (open the map) to the last MapRedrawn of the first
// complete view, once nothing is pending and no more comes. The time is split into
//   opening   request 10 until the first cell is asked for (map definition, rights),
//   decoding  reading replies into the model (in the viewer's data handler, less drawing),
//   drawing   redraws and repaints,
//   transfer  the rest: waiting for the server to read its store and for the bytes.
// Usage: bench_open DATABASE MAP...   (QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "net/server.h"
#include "net/server_config.h"
#include "net/server_log.h"
#include "protocol/connection.h"
#include "protocol/interaction.h"
#include "viewer/login.h"
#include "viewer/qtconnection.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
  Clock::time_point opened, firstCell, lastRedrawn;
  Clock::duration handling{}, drawing{};
  Clock::duration handlingBeforeCells{}, drawingBeforeCells{};  // part of the opening
  Clock::duration handlingAtEnd{}, drawingAtEnd{};              // at the last MapRedrawn
  Clock::time_point handlingSince{}, drawingSince{};            // of the one under way
  // Time spent so far, the one under way included.
  static Clock::duration SoFar(Clock::duration done, Clock::time_point since) {
    return since == Clock::time_point{} ? done : done + (Clock::now() - since);
  }
  std::size_t sent = 0, received = 0, cellRequests = 0;
  int draws = 0, drawsAtEnd = 0;  // redraws and repaints begun
};

// The real Qt socket, counting bytes and timing the viewer's handling of arrivals.
class TimingConnection final : public Connection {
 public:
  explicit TimingConnection(Figures& f) : f_(f) {
    inner_.SetDataArrival([this] {
      f_.handlingSince = Clock::now();
      RaiseDataArrival();
      f_.handling += Clock::now() - f_.handlingSince;
      f_.handlingSince = {};
    });
    inner_.SetLost([this] { RaiseLost(); });
  }
  int state() const override { return inner_.state(); }
  void Close() override { inner_.Close(); }
  void SetRemote(const std::string& host, std::int32_t port) override {
    inner_.SetRemote(host, port);
  }
  void Connect() override { inner_.Connect(); }
  std::string RemoteHost() const override { return inner_.RemoteHost(); }
  std::int32_t RemotePort() const override { return inner_.RemotePort(); }
  void SendData(const std::vector<std::uint8_t>& bytes) override {
    // "MIC ", the length, then the request's code.
    const int code = bytes.size() >= 10 ? bytes[8] | (bytes[9] << 8) : -1;
    if (code == 10) {
      f_.opened = Clock::now();
      f_.handling = f_.drawing = {};
    }
    if (code == 2 && f_.cellRequests++ == 0) {
      f_.firstCell = Clock::now();
      f_.handlingBeforeCells = Figures::SoFar(f_.handling, f_.handlingSince);
      f_.drawingBeforeCells = Figures::SoFar(f_.drawing, f_.drawingSince);
    }
    f_.sent += bytes.size();
    inner_.SendData(bytes);
  }
  std::size_t BytesAvailable() const override { return inner_.BytesAvailable(); }
  std::vector<std::uint8_t> GetData(std::size_t n) override { return Counted(inner_.GetData(n)); }
  std::vector<std::uint8_t> GetAll() override { return Counted(inner_.GetAll()); }
  std::vector<std::uint8_t> Peek(std::size_t n) const override { return inner_.Peek(n); }

 private:
  std::vector<std::uint8_t> Counted(std::vector<std::uint8_t> bytes) {
    f_.received += bytes.size();
    return bytes;
  }
  QtConnection inner_;
  Figures& f_;
};

// The viewer with its redraws timed.
class TimedViewer final : public Viewer {
 public:
  TimedViewer(const ViewerSeams& seams, Figures& f) : Viewer(seams), f_(f) {}
  void Redraw() override {
    Timed([this] { Viewer::Redraw(); });
  }
  void RepaintLayer(std::int32_t layerId) override {
    Timed([&] { Viewer::RepaintLayer(layerId); });
  }
  void RepaintSaved() override {
    Timed([this] { Viewer::RepaintSaved(); });
  }

 private:
  void Timed(const std::function<void()>& draw) {
    if (depth_++ > 0) {
      draw();
    } else {
      f_.drawingSince = Clock::now();
      ++f_.draws;
      draw();
      f_.drawing += Clock::now() - f_.drawingSince;
      f_.drawingSince = {};
    }
    --depth_;
  }
  Figures& f_;
  int depth_ = 0;
};

// Message boxes are printed and answered at once: a modal box would stop the clock.
class PrintedMessages final : public Interaction {
 public:
  MessageAnswer MessageBox(const std::string& text, const std::string& title, MessageIcon,
                           MessageButtons buttons) override {
    if (++shown_ <= 3) std::fprintf(stderr, "message: %s: %s\n", title.c_str(), text.c_str());
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::No
               : MessageAnswer::Ok;
  }
  ~PrintedMessages() override {
    if (shown_ > 3) std::fprintf(stderr, "message: %d more\n", shown_ - 3);
  }

 private:
  int shown_ = 0;
};

// Lets events run until `done` holds or `seconds` pass.
// Sleeps between events as the program's own loop does: spinning would take a core
// from the server's thread on a 2-core machine. The timer only wakes the check up; the
// figures come from the events themselves.
bool RunUntil(const std::function<bool()>& done, double seconds) {
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  QTimer wake;
  wake.start(20);
  while (!done()) {
    if (Clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

int LogIn(std::uint16_t port) {
  int user = 0;
  PrintedMessages ui;
  login control(ui);
  QObject::connect(&control, &login::LoginResponse,
                   [&](int id, int, const QStringList&, const QList<int>&) { user = id; });
  control.Checklogin("127.0.0.1", port, "demo", "demo");
  RunUntil([&] { return user != 0; }, 30);
  return user;
}

bool OpenOnce(std::uint16_t port, int user, int map, Figures& f, std::string& name) {
  TimingConnection sock(f);
  PrintedMessages ui;
  TimedViewer viewer(ViewerSeams{.sock = &sock, .ui = &ui}, f);
  QObject::connect(&viewer, &Viewer::MapRedrawn, [&] {
    if (!viewer.map().layerscargados) return;
    f.lastRedrawn = Clock::now();
    f.handlingAtEnd = Figures::SoFar(f.handling, f.handlingSince);
    f.drawingAtEnd = Figures::SoFar(f.drawing, f.drawingSince);
    f.drawsAtEnd = f.draws;
  });
  viewer.resize(1920, 1080);
  viewer.SetURL("127.0.0.1");
  viewer.Setport(port);
  viewer.SetIDUser(user);
  viewer.SetMapCode(map);
  viewer.show();
  // Complete: loaded, nothing pending, and nothing more for half a second.
  Clock::time_point quietSince = Clock::now();
  std::size_t seen = 0;
  const bool done = RunUntil(
      [&] {
        const std::size_t now = f.received + f.sent;
        if (now != seen || viewer.PendingRequests() != 0 || !viewer.map().layerscargados) {
          seen = now;
          quietSince = Clock::now();
        }
        return Clock::now() - quietSince > std::chrono::milliseconds(500) &&
               f.lastRedrawn != Clock::time_point{};
      },
      60);
  name = viewer.map().Nombre;
  return done;
}

}  // namespace
}  // namespace orvenda

int main(int argc, char** argv) {
  using namespace orvenda;
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_open DATABASE MAP...\n");
    return 2;
  }
  const std::filesystem::path db = argv[1];
  server::ServerConfig config;
  config.listen = "127.0.0.1";
  config.port = 0;
  config.logFile = (std::filesystem::temp_directory_path() / "bench_open.log").string();
  server::ServerLog log(config.logFile, std::cerr);
  server::Server srv(
      config, [db] { return server::OpenStore(db); }, log);
  srv.Start();
  const int user = LogIn(srv.Port());
  if (user == 0) {
    std::fprintf(stderr, "bench_open: the demo user could not log in\n");
    return 1;
  }
  std::printf("%-22s %8s %8s %9s %8s %8s %6s %10s %7s\n", "map", "total", "opening", "transfer",
              "decoding", "drawing", "draws", "received", "cells");
  for (int a = 2; a < argc; ++a) {
    Figures f;
    std::string name;
    const bool complete = OpenOnce(srv.Port(), user, std::stoi(argv[a]), f, name);
    if (!complete || f.cellRequests == 0) {
      std::printf("%-22s did not complete\n", argv[a]);
      continue;
    }
    const double total = Ms(f.lastRedrawn - f.opened);
    const double opening = Ms(f.firstCell - f.opened);
    const double drawing = Ms(f.drawingAtEnd - f.drawingBeforeCells);
    const double decoding = Ms(f.handlingAtEnd - f.handlingBeforeCells) - drawing;
    const double transfer = total - opening - decoding - drawing;
    std::printf("%-22s %6.0fms %6.0fms %7.0fms %6.0fms %6.0fms %6d %7.2f MB %7zu\n",
                (argv[a] + std::string(" ") + name).substr(0, 22).c_str(), total, opening, transfer,
                decoding, drawing, f.drawsAtEnd, f.received / 1e6, f.cellRequests);
    std::fflush(stdout);
  }
  srv.Stop();
  srv.Wait();
  return 0;
}
