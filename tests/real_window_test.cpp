// The window program on a real X display with a window manager: Xvfb, openbox
// and xdotool, as an operator's desktop would run it. What only a window
// manager shows is checked here: the frame around the window, boxes as
// windows of their own, and mouse presses and releases delivered by the X
// server while a box runs its own event loop.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_test_support.h"

namespace torv {
namespace {

namespace fs = std::filesystem;
using cli_testing::ProcessResult;
using cli_testing::RunProcess;
using cli_testing::ScratchFolder;

const char* const kNeededPrograms[] = {"/usr/bin/Xvfb", "/usr/bin/openbox", "/usr/bin/xdotool",
                                       "/usr/bin/xprop", "/usr/bin/xwininfo"};
const std::string kMainTitle = "Документирование архива ТОРВ-4";

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

// A program of this test that runs until the test stops it.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(); }

  // Starts `args` with `environment` added; `keepFd` stays open in the child.
  void Start(const std::vector<std::string>& args, const std::vector<std::string>& environment,
             int keepFd = -1) {
    std::vector<std::string> strings = args;
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = environment;
    std::vector<char*> envp;
    for (std::string& s : envStrings) envp.push_back(s.data());
    for (char** variable = environ; *variable != nullptr; ++variable) envp.push_back(*variable);
    envp.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      const int quiet = ::open("/dev/null", O_RDWR);
      ::dup2(quiet, 0);
      ::dup2(quiet, 1);
      ::dup2(quiet, 2);
      for (int fd = 3; fd < 256; ++fd) {
        if (fd != keepFd) ::close(fd);
      }
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
  }

  bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    if (!WaitFor([this] { return ::waitpid(pid_, nullptr, WNOHANG) != 0; }, 5000)) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// One X display with openbox for the whole suite.
class RealWindowTest : public ::testing::Test {
 protected:
  // A set-up that fails makes every test of the suite fail (GoogleTest would
  // only skip them after a failed SetUpTestSuite, and a skip passes).
  static void SetUpTestSuite() { setUpProblem_ = StartDisplay(); }

  void SetUp() override { ASSERT_EQ(setUpProblem_, "") << "no X display with openbox"; }

  // Empty when Xvfb and openbox run, else what went wrong.
  static std::string StartDisplay() {
    for (const char* program : kNeededPrograms) {
      if (!fs::exists(program)) return std::string(program) + " is missing: run scripts/setup.sh";
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "no pipe for Xvfb's display number";
    xvfb_ = new Child;
    xvfb_->Start({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                  "1280x1024x24", "-nolisten", "tcp"},
                 {}, pipeFds[1]);
    ::close(pipeFds[1]);
    std::string number;
    char c = 0;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(pipeFds[0]);
    if (number.empty()) return "Xvfb did not start";
    display_ = ":" + number;

    openbox_ = new Child;
    // openbox announces itself on the root window once it manages windows;
    // on a loaded machine that may take a while. One that gives up at start
    // is started again, a few times at most.
    int starts = 0;
    const auto managed = [&starts] {
      if (!openbox_->Running() && starts < 3) {
        ++starts;
        openbox_->Start({"/usr/bin/openbox"}, {"DISPLAY=" + display_});
      }
      return X({"/usr/bin/xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).out.find("window id") !=
             std::string::npos;
    };
    if (!WaitFor(managed, 60000)) {
      return openbox_->Running() ? "openbox did not take the screen within 60 s"
                                 : "openbox exited at start " + std::to_string(starts) + " times";
    }
    return {};
  }

  static void TearDownTestSuite() {
    delete openbox_;
    delete xvfb_;
    openbox_ = nullptr;
    xvfb_ = nullptr;
  }

  void TearDown() override { window_.Stop(); }

  // Runs an X client on the test's display.
  static ProcessResult X(const std::vector<std::string>& args) {
    const ScratchFolder folder;
    std::vector<std::string> all = {"DISPLAY=" + display_};
    all.insert(all.end(), args.begin(), args.end());
    return RunProcess("/usr/bin/env", all, folder.path(), folder.path());
  }

  void StartWindow(const std::vector<std::string>& args = {}) {
    std::vector<std::string> all = {TORVDOC_WINDOW_PATH};
    all.insert(all.end(), args.begin(), args.end());
    window_.Start(all, {"DISPLAY=" + display_, "XDG_RUNTIME_DIR=" + runtime_.path().string(),
                        "QT_QPA_PLATFORM=xcb"});
  }

  // The visible windows whose title is exactly `title`.
  static std::vector<std::string> Windows(const std::string& title) {
    const ProcessResult found =
        X({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
    std::vector<std::string> ids;
    std::istringstream lines(found.out);
    for (std::string id; std::getline(lines, id);) ids.push_back(id);
    return ids;
  }

  static std::string WaitForWindow(const std::string& title) {
    std::string id;
    WaitFor([&] {
      const std::vector<std::string> ids = Windows(title);
      if (ids.size() == 1) id = ids.front();
      return !id.empty();
    });
    return id;
  }

  // The window's inside as xwininfo gives it: "Absolute upper-left X",
  // "Absolute upper-left Y", "Width" and "Height".
  static std::map<std::string, int> Geometry(const std::string& id) {
    const ProcessResult info = X({"/usr/bin/xwininfo", "-id", id});
    std::map<std::string, int> values;
    std::istringstream lines(info.out);
    for (std::string line; std::getline(lines, line);) {
      const auto colon = line.find(':');
      const auto start = line.find_first_not_of(' ');
      if (colon == std::string::npos || start == std::string::npos || start > colon) continue;
      try {
        values[line.substr(start, colon - start)] = std::stoi(line.substr(colon + 1));
      } catch (const std::exception&) {
        // Not a number: a field this test does not read.
      }
    }
    return values;
  }

  // The frame's left, right, top and bottom, as the window manager says.
  static std::vector<int> FrameExtents(const std::string& id) {
    const std::string out = X({"/usr/bin/xprop", "-id", id, "_NET_FRAME_EXTENTS"}).out;
    const auto equals = out.find('=');
    if (equals == std::string::npos) return {};
    std::vector<int> extents;
    std::istringstream values(out.substr(equals + 1));
    for (std::string value; std::getline(values, value, ',');) extents.push_back(std::stoi(value));
    return extents;
  }

  // Clicks at `x`, `y` inside the window's client area.
  static void Click(const std::string& id, int x, int y) {
    X({"/usr/bin/xdotool", "mousemove", "--window", id, std::to_string(x), std::to_string(y),
       "click", "1"});
  }

  static void Key(const std::string& key) { X({"/usr/bin/xdotool", "key", key}); }

  // Answers the box titled `title` with Enter, once it is the active window,
  // and waits until that box has gone (another may follow at once).
  static bool AnswerBox(const std::string& title) {
    const std::string box = WaitForWindow(title);
    if (box.empty()) return false;
    X({"/usr/bin/xdotool", "windowactivate", "--sync", box});
    Key("Return");
    return WaitFor([&] {
      const std::vector<std::string> open = Windows(title);
      return std::find(open.begin(), open.end(), box) == open.end();
    });
  }

  static inline Child* xvfb_ = nullptr;
  static inline Child* openbox_ = nullptr;
  static inline std::string display_;
  static inline std::string setUpProblem_;
  ScratchFolder runtime_;
  Child window_;
};

TEST_F(RealWindowTest, OuterSizeWithTheFrameIs872By669) {
  StartWindow();
  const std::string id = WaitForWindow(kMainTitle);
  ASSERT_FALSE(id.empty()) << "no window titled " << kMainTitle;
  // The window fits its inside to the frame once the frame is known.
  std::vector<int> frame;
  std::map<std::string, int> inside;
  EXPECT_TRUE(WaitFor([&] {
    frame = FrameExtents(id);
    inside = Geometry(id);
    return frame.size() == 4 && inside["Width"] + frame[0] + frame[1] == 872 &&
           inside["Height"] + frame[2] + frame[3] == 669;
  })) << "inside "
      << inside["Width"] << " x " << inside["Height"] << ", frame "
      << ::testing::PrintToString(frame);
  ASSERT_EQ(frame.size(), 4u);
  EXPECT_GT(frame[2], 0) << "no title bar";
  // Centred on the 1280 x 1024 screen, frame included.
  EXPECT_NEAR(inside["Absolute upper-left X"] - frame[0], (1280 - 872) / 2, 1);
  EXPECT_NEAR(inside["Absolute upper-left Y"] - frame[2], (1024 - 669) / 2, 1);
}

TEST_F(RealWindowTest, RefusedCommandLineNameWarnsOverTheWindow) {
  StartWindow({"/nowhere/arch.DAT"});
  ASSERT_FALSE(WaitForWindow(kMainTitle).empty());
  const std::string box = WaitForWindow("задание имени файла");
  ASSERT_FALSE(box.empty()) << "no warning box";
  // Wide enough for its title beside the title bar's buttons.
  EXPECT_GE(Geometry(box)["Width"], 250);
  EXPECT_TRUE(AnswerBox("задание имени файла"));
  EXPECT_TRUE(window_.Running());
}

// Places in the window's client area: the menu bar (21 pixels here) and then
// the controls at their fixed places inside "Просмотр файла архива".
constexpr int kMenuBarHeight = 21;
constexpr int kGroupX = 480;
constexpr int kGroupY = 88 + kMenuBarHeight;

TEST_F(RealWindowTest, ButtonsCommandFollowsTheBoxOfTheFieldsInputView) {
  StartWindow();  // no archive chosen: every view ends in a box
  const std::string id = WaitForWindow(kMainTitle);
  ASSERT_FALSE(id.empty());
  ASSERT_TRUE(WaitFor([&] { return FrameExtents(id).size() == 4; }));
  Click(id, kGroupX + 192 + 56, kGroupY + 112 + 12);  // "Выбор по № входа"
  Key("5");
  // "Последняя запись": the field's input view, then the button's own view,
  // each ending in "Не задано имя файла архива".
  Click(id, kGroupX + 40 + 60, kGroupY + 16 + 12);
  EXPECT_TRUE(AnswerBox("torvdoc")) << "no box from the input view";
  EXPECT_TRUE(AnswerBox("torvdoc")) << "no box from the button's own command";
  EXPECT_TRUE(Windows("torvdoc").empty());
  EXPECT_TRUE(window_.Running());
}

}  // namespace
}  // namespace torv
