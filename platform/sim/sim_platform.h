#pragma once
// The simulated platform for host tests: a deterministic, observable stand-in for every
// service. Time moves only when a test advances it; every call the logic makes is kept.
// Files are real files below a folder of the test's choosing, so the logic's positioned
// writes and atomic replaces are exercised on a real file system.
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/api/errors.h"
#include "platform/api/platform.h"

namespace tovren::sim {

using platform::Bytes;
using platform::Hwnd;
using platform::PointPx;
using platform::RectPx;
using platform::Rgb;
using platform::SizePx;

// ---------------------------------------------------------------------------------------
// Files: Windows-style paths mapped onto a host folder. Relative paths and paths below the
// simulated game folder (`gameFolderWin`, e.g. "C:\Game") land in `root`. Hidden and
// system attributes live in a table; failures can be injected per path prefix.
class SimFiles : public platform::Files {
 public:
  SimFiles(std::filesystem::path root, std::string gameFolderWin);

  std::optional<platform::FileInfo> Stat(const std::string& path) override;
  Bytes ReadAll(const std::string& path) override;
  void WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) override;
  void WriteWhole(const std::string& path, const Bytes& bytes) override;
  void Replace(const std::string& source, const std::string& dest) override;
  void CreateFolder(const std::string& path) override;
  void Delete(const std::string& path) override;

  // Test drivers.
  std::filesystem::path HostPath(const std::string& path) const;
  void SetAttributes(const std::string& path, bool hidden, bool system);
  // Every write, replace, create or delete of a path starting with prefix (after mapping)
  // fails with this error code.
  void FailWrites(const std::string& prefix, std::uint32_t code = platform::kErrorAccessDenied);
  // Every read of a path starting with prefix fails with this error code.
  void FailReads(const std::string& prefix, std::uint32_t code = platform::kErrorAccessDenied);
  void ClearFailures() {
    failures_.clear();
    readFailures_.clear();
  }
  const std::vector<std::string>& log() const { return log_; }  // "WriteAt Tovren.exe@123"

 private:
  void CheckWritable(const std::string& path) const;
  std::string Key(const std::string& path) const;
  std::filesystem::path root_;
  std::string gameFolderWin_;
  std::map<std::string, std::pair<bool, bool>> attributes_;
  std::vector<std::pair<std::string, std::uint32_t>> failures_;
  std::vector<std::pair<std::string, std::uint32_t>> readFailures_;
  std::vector<std::string> log_;
};

// ---------------------------------------------------------------------------------------
class SimResources : public platform::Resources {
 public:
  std::optional<Bytes> Load(const std::string& type, const std::string& name) override;
  bool HasBitmap(const std::string& name) override;

  void Add(const std::string& type, const std::string& name, Bytes bytes);
  void AddBitmap(const std::string& name);
  // Every skin bitmap of the launcher ("OJB0101" ...) and the window backgrounds.
  void AddLauncherBitmaps();

 private:
  std::map<std::string, Bytes> items_;
  std::set<std::string> bitmaps_;
};

// ---------------------------------------------------------------------------------------
class SimProcesses : public platform::Processes {
 public:
  struct Run {
    std::string file;
    std::string commandLine;
    std::string currentFolder;
    bool waited = false;
    int showCode = 0;
    int timeoutMs = 0;
  };
  std::uint32_t RunHiddenAndWait(const platform::Program& program, const std::string& currentFolder,
                                 int timeoutMs) override;
  void Start(const platform::Program& program, int showCode) override;
  std::vector<platform::ProcessEntry> List() override { return running; }
  void Terminate(std::uint32_t pid) override;

  // What a hidden run does (e.g. extract a fixture into the folder); returns the exit
  // code, or throws OsError (kErrorTimeout for a run that does not end). Without a
  // handler a run exits with 0 and does nothing.
  std::function<std::uint32_t(const platform::Program& program, const std::string& folder)> onRun;
  // What a start does; throwing OsError from it makes the start fail.
  std::function<void(const platform::Program& program, int showCode)> onStart;

  std::vector<Run> runs;                         // every run and start, in order
  std::vector<platform::ProcessEntry> running;   // what List reports
  std::vector<std::uint32_t> terminated;
};

// ---------------------------------------------------------------------------------------
class SimRegistry : public platform::Registry {
 public:
  void WriteString(const std::string& valuePath, const std::string& data) override;
  // Value names compare ignoring case, as the registry does.
  std::optional<std::string> Get(const std::string& valuePath) const;
  std::optional<std::uint32_t> refuseWith;  // every write fails with this code
  std::vector<std::pair<std::string, std::string>> writes;

 private:
  std::map<std::string, std::string> values_;
};

// ---------------------------------------------------------------------------------------
// Timers fire only when the test advances the clock; Sleep advances it too.
class SimClock : public platform::Clock {
 public:
  void Sleep(int ms) override;
  std::uint64_t NowMs() override { return now_; }
  std::vector<int> sleeps;
  std::function<void(int ms)> onSleep;  // e.g. let a simulated program react meanwhile

  void SetNow(std::uint64_t ms) { now_ = ms; }

 private:
  std::uint64_t now_ = 0;
};

class SimTimers : public platform::Timers {
 public:
  explicit SimTimers(SimClock& clock) : clock_(clock) {}
  int Start(int intervalMs, std::function<void()> tick) override;
  void Stop(int id) override;
  // Moves time forward by ms, firing every timer that falls due, in time order.
  void Advance(int ms);
  bool IsRunning(int id) const;
  std::size_t RunningCount() const;

 private:
  struct Timer {
    int interval;
    std::uint64_t next;
    std::function<void()> tick;
  };
  SimClock& clock_;
  std::map<int, Timer> timers_;
  int nextId_ = 1;
};

class SimKeys : public platform::Keys {
 public:
  bool WasPressed(int virtualKey) override;
  void Tap(int virtualKey) { tapped_.insert(virtualKey); }    // seen by the next query
  void Hold(int virtualKey, bool down);                        // seen while held

 private:
  std::set<int> tapped_;
  std::set<int> held_;
};

class SimLoop : public platform::Loop {
 public:
  void PumpPending() override;
  void Post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }
  void Quit() override { quit = true; }
  // Runs posted work until none is left (what the message loop would do while idle).
  void RunUntilIdle();
  int pumps = 0;
  bool quit = false;
  // Called on every PumpPending, after posted work: lets a test act "between frames".
  std::function<void()> onPump;

 private:
  std::deque<std::function<void()>> posted_;
};

// Background work runs only when the test says so, then its completion is posted.
class SimWorker : public platform::Worker {
 public:
  explicit SimWorker(SimLoop& loop) : loop_(loop) {}
  void Run(std::function<void()> work, std::function<void()> done) override;
  // Runs every queued job on the calling thread and posts its completion.
  void RunAll();
  std::size_t Pending() const { return jobs_.size(); }

 private:
  SimLoop& loop_;
  std::deque<std::pair<std::function<void()>, std::function<void()>>> jobs_;
};

class SimSystem : public platform::System {
 public:
  // The current folder is the launcher's own folder unless a test says otherwise.
  explicit SimSystem(std::string modulePath)
      : modulePath(std::move(modulePath)), currentFolder(FolderOf(this->modulePath)) {}
  SimSystem(std::string modulePath, std::string currentFolder)
      : modulePath(std::move(modulePath)), currentFolder(std::move(currentFolder)) {}
  std::string ModulePath() override { return modulePath; }
  std::string CurrentFolder() override { return currentFolder; }
  bool Is64BitWindows() override { return windows64; }
  std::string modulePath;
  std::string currentFolder;
  bool windows64 = true;  // a 64-bit Windows, as most players have

 private:
  static std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return "";
    return path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash);
  }
};

// ---------------------------------------------------------------------------------------
// An in-memory desktop. Our windows and controls, and "foreign" windows of other programs
// that a test adds, all live in one table. Mouse and keyboard drivers deliver events to
// the window's handlers the way the real window system does (capture included).
class SimDesktop : public platform::Desktop {
 public:
  struct Window {
    Hwnd id = 0;
    bool ours = true;
    bool topLevel = true;
    platform::ControlKind kind = platform::ControlKind::Picture;
    platform::WindowEvents* events = nullptr;
    Hwnd parent = 0;  // controls
    Hwnd owner = 0;   // top-level
    std::string title;  // top-level title, or control text
    RectPx rect;
    bool visible = false;
    bool layered = false;
    std::optional<Rgb> colorKey;
    bool topmost = false;
    std::string picture;
    Rgb textColor = 0;
    std::optional<platform::FontSpec> font;
    int textLimit = 0;  // 0: none
    std::pair<int, int> selection{0, 0};
    std::string tooltip;
    std::vector<std::uint8_t> presents;  // overall alpha of every layered frame
    bool surfaceAlive = false;
    std::vector<Hwnd> children;
  };

  struct Message {
    Hwnd window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  // platform::Desktop
  Hwnd CreateTopLevel(const platform::WindowSpec& spec, platform::WindowEvents* events) override;
  Hwnd CreateControl(const platform::ControlSpec& spec, platform::WindowEvents* events) override;
  void Destroy(Hwnd window) override;
  bool IsWindow(Hwnd window) override;
  void Show(Hwnd window, bool visible) override;
  bool IsVisible(Hwnd window) override;
  void Move(Hwnd window, const RectPx& rect) override;
  RectPx GetRect(Hwnd window) override;
  void SetOwner(Hwnd window, Hwnd owner) override;
  void AddLayeredStyle(Hwnd window) override;
  void SetColorKey(Hwnd window, Rgb key) override;
  void SetTopmost(Hwnd window) override;
  std::unique_ptr<platform::LayeredSurface> CreateLayeredSurface(Hwnd window, const Bytes& png) override;
  void SetPicture(Hwnd picture, const std::string& bitmapName) override;
  void SetText(Hwnd window, const std::string& text) override;
  std::string GetText(Hwnd window) override;
  void SetTextColor(Hwnd control, Rgb color) override;
  void SetFont(Hwnd control, const platform::FontSpec& font) override;
  void SetTextLimit(Hwnd edit, int characters) override;
  void SetSelection(Hwnd edit, int start, int length) override;
  void SetTooltip(Hwnd control, const std::string& text) override;
  void SetCapture(Hwnd control) override;
  void ReleaseCapture() override;
  void SetFocus(Hwnd window) override;
  Hwnd Focused() override { return focus; }
  void BringToFront(Hwnd window, bool activate) override;
  Hwnd FindTopLevel(const std::string& title) override;
  Hwnd FindChild(Hwnd parent, const std::string& text) override;
  Hwnd Foreground() override;
  std::string WindowTitle(Hwnd window) override;
  std::optional<RectPx> ClientRectOnScreen(Hwnd window) override;
  bool SendText(Hwnd window, const std::string& text, int timeoutMs) override;
  void PostMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) override;
  PointPx CursorPos() override { return cursor; }
  void ClipCursor(const std::optional<RectPx>& rect) override;
  SizePx ScreenSize() override { return screen; }
  bool AddTrayIcon(const platform::TrayIcon& icon) override;
  bool ModifyTrayIcon(const platform::TrayIcon& icon) override;
  bool RemoveTrayIcon(const platform::TrayIcon& icon) override;
  std::optional<std::string> OpenFile(const platform::OpenFileRequest& request) override;
  void ShowMessage(Hwnd owner, const std::string& title, const std::string& text) override;

  // --- inspection ---------------------------------------------------------------------
  platform::WindowEvents* EventsOf(Hwnd id);     // the control's handlers, else its parents'
  Window* Find(Hwnd id);                 // nullptr when it does not exist (any more)
  Window& Get(Hwnd id);                  // throws when it does not exist
  Hwnd FindOurTopLevel(const std::string& title);  // our window of that title, or 0
  RectPx ScreenRect(Hwnd id);            // a control's rectangle on the screen
  bool IsShownOnScreen(Hwnd id);         // it and all its parents visible
  Hwnd capture = 0;
  Hwnd focus = 0;
  Hwnd foreground = 0;
  PointPx cursor{};
  SizePx screen{1280, 1024};
  std::optional<RectPx> clip;
  std::vector<std::optional<RectPx>> clipCalls;
  std::optional<platform::TrayIcon> tray;  // the icon as the shell holds it now
  std::vector<std::string> trayCalls;      // "add <tip>", "modify <tip>", "remove"
  std::vector<platform::OpenFileRequest> fileDialogs;
  std::deque<std::optional<std::string>> fileDialogAnswers;  // next answers; empty: cancel
  struct Box { std::string title, text; };
  std::vector<Box> messages;
  // A message box is modal but runs a loop of its own: what happens while one is shown
  // (timers ticking, the player clicking elsewhere). openMessages counts the boxes up now.
  std::function<void(const Box&)> whileMessage;
  std::function<void()> whileFileDialog;  // the same for the file dialog
  // Called first by the calls that look at other programs' windows (FindTopLevel,
  // ClientRectOnScreen, Foreground) with the call's name: throwing from it makes it fail.
  std::function<void(const std::string& call)> onLookUp;
  int openMessages = 0;
  int mostOpenMessages = 0;
  std::vector<Message> posted;
  std::vector<std::pair<Hwnd, std::string>> sentTexts;
  // Every state-changing call, in order, as short text: "show <title>", "hide <title>",
  // "destroy <title>", "picture <bitmap>", "layered <title>", "topmost <title>" ...
  std::vector<std::string> log;
  std::function<void(const Message&)> onPost;   // a foreign program reacting to a post
  std::function<bool(Hwnd, const std::string&)> onSendText;  // false: time out
  bool failLayeredSurface = false;  // the graphics library "does not start"

  // --- foreign windows ----------------------------------------------------------------
  Hwnd AddForeignWindow(const std::string& title, const RectPx& rect = {0, 0, 100, 100});
  Hwnd AddForeignChild(Hwnd parent, const std::string& text);

  // --- drivers: the user at the mouse and keyboard ------------------------------------
  // Pointer moves to (x, y) relative to control; the event goes to the capture holder if
  // there is one (with coordinates relative to it), else to the control.
  void MouseMove(Hwnd control, int buttons, int x, int y);
  // Button goes down over control; for the left button a later LeftUp over the same
  // control clicks, unless the capture was released meanwhile.
  // An edit takes the focus when pressed, as the real one does, and places its caret
  // after the handlers have run.
  void MouseDown(Hwnd control, int button, int x = 1, int y = 1);
  // Button comes up with the pointer at (x, y) relative to control; the event goes where
  // a move would go. For the left button it clicks when it completes a press (above).
  void MouseUp(Hwnd control, int button, int x = 1, int y = 1);
  void LeftUp(Hwnd control) { MouseUp(control, platform::kLeftButton); }
  void Press(Hwnd control, int button = platform::kLeftButton);  // down, then up
  void DoubleClick(Hwnd control);
  // Typing into an edit: characters beyond its limit are refused, as the edit does.
  void Type(Hwnd edit, const std::string& text);
  // The keyboard: typing and Tab reach the window holding the focus, whatever it is.
  void TypeKeys(const std::string& text);
  void Tab(bool backwards = false);
  void Focus(Hwnd edit) { SetFocus(edit); }
  // The system makes a window the active one (after another window went away, say).
  void Activate(Hwnd window);
  // A window manager puts a top-level window elsewhere than it was asked to.
  void MoveBySystem(Hwnd window, const RectPx& rect);
  void TrayNotify(int code);
  void RequestClose(Hwnd window);

 private:
  Hwnd Add(Window w);
  // The pointer moves to (x, y) relative to control; returns who hears it (the capture
  // holder, if any) with x, y made relative to that one.
  Hwnd PointerAt(Hwnd control, int& x, int& y);
  std::map<Hwnd, Window> windows_;
  Hwnd next_ = 0x1000;
  Hwnd pressed_ = 0;
  bool pressCaptureLost_ = false;
  std::string TitleOf(Hwnd id);
};

// ---------------------------------------------------------------------------------------
// The whole simulated platform. Http is the real libcurl client: the host tests talk to a
// real server inside the test.
class SimPlatform {
 public:
  // root: host folder standing for the game folder "C:\Game", where the launcher lives.
  explicit SimPlatform(std::filesystem::path root, std::string gameFolderWin = "C:\\Game");
  ~SimPlatform();

  SimFiles files;
  SimResources resources;
  SimProcesses processes;
  SimRegistry registry;
  std::unique_ptr<platform::Http> http;
  SimDesktop desktop;
  SimClock clock;
  SimTimers timers{clock};
  SimKeys keys;
  SimLoop loop;
  SimWorker worker{loop};
  SimSystem system;

  platform::Platform Get();
};

// The real HTTP client of the host (libcurl).
std::unique_ptr<platform::Http> MakeCurlHttp();

// A fresh, empty temporary folder removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace tovren::sim
