// A random user at the whole editor: seeded sequences of pointer, key and menu actions with
// every dialog answer, the model's invariant check after each one. A failing run is shrunk
// to a short action list that still fails, each candidate replayed in a fresh process,
// because the editor's globals live as long as the process does.
//
// FACETRY_SOAK_ACTIONS=N and FACETRY_SOAK_SEED=S (scripts/soak) run N actions from seed S,
// in runs of kRunLength actions with seeds S, S + 1, ...
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>

#include "platform/win/modal.h"
#include "texture/texture.h"
#include "tests/app/fit_client.h"
#include "tests/app/pointer_scenario.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// One step of the user, kept concrete so that a recorded list replays alone:
//   m/t x y buttons   pointer move over the front / texture view
//   c x y             left click in the front view; d/u x y press / release there
//   T/U x y           left press / release in the texture view
//   r/R x y           right press / release in the front view (the depth move)
//   k vk down         key
//   x id              menu command
//   w n               n more passes of the loop
// `choice` seeds every answer the action meets: boxes, dialogs, file and colour choosers.
struct Action {
  char kind = 'w';
  int a = 0, b = 0, c = 0;
  int choice = 0;
};

std::string Text(const Action& s) {
  std::ostringstream out;
  out << "{'" << s.kind << "', " << s.a << ", " << s.b << ", " << s.c << ", " << s.choice << "}";
  return out.str();
}

std::vector<Action> ReadActions(const std::string& path) {
  std::vector<Action> out;
  std::ifstream in(path);
  Action s;
  while (in >> s.kind >> s.a >> s.b >> s.c >> s.choice) out.push_back(s);
  return out;
}

void WriteActions(const std::string& path, const std::vector<Action>& list) {
  std::ofstream out(path);
  for (const Action& s : list) out << s.kind << ' ' << s.a << ' ' << s.b << ' ' << s.c << ' ' << s.choice << '\n';
}

constexpr int kRunLength = 2500;
constexpr int kFaceCap = 150;  // past this the user starts a new mesh, so passes stay quick
const char kInternalError[] = "An error occurred while building the scene.\n";
const int kCommands[] = {201, 202, 203, 204, 228, 283, 207, 208, 209, 211, 212, 113, 286, 225, 50, 262,
                         263, 264, 265, 266, 267, 279, 280, 281, 282, 270, 271, 231, 232, 233, 234, 256,
                         268, 272, 273, 274, 275, 276, 277, 285, 217, 261, 260, 269, 259, 224};
// The pointer actions and the message each posts.
struct Posted {
  char kind;
  bool in_texture;
  UINT message;
  WPARAM buttons;
};
const Posted kPosted[] = {{'m', false, WM_MOUSEMOVE, 0},      {'t', true, WM_MOUSEMOVE, 0},
                          {'d', false, WM_LBUTTONDOWN, MK_LBUTTON}, {'u', false, WM_LBUTTONUP, 0},
                          {'T', true, WM_LBUTTONDOWN, MK_LBUTTON},  {'U', true, WM_LBUTTONUP, 0},
                          {'r', false, WM_RBUTTONDOWN, MK_RBUTTON}, {'R', false, WM_RBUTTONUP, 0}};
const int kKeys[] = {VK_ESCAPE, VK_DELETE, VK_SPACE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SHIFT, VK_CONTROL};

// An 8 x 8 24-bit bitmap in colour stripes.
std::string SmallBitmap() {
  std::string out = "BM";
  auto put = [&out](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  put(54 + 8 * 8 * 3, 4), put(0, 4), put(54, 4), put(40, 4), put(8, 4), put(8, 4), put(1, 2), put(24, 2);
  for (int i = 0; i < 6; ++i) put(0, 4);
  for (int i = 0; i < 64; ++i) put(i % 3 == 0 ? 0xff0000u : i % 3 == 1 ? 0x00ff00u : 0x3030ffu, 3);
  return out;
}

// The editor under a random user, in this process.
class User {
 public:
  User() : dir_(fs::temp_directory_path() / ("facetry-soak-" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
    // Ctrl appends a trace to the working directory.
    fs::current_path(dir_);
    std::ofstream(dir_ / "tex.bmp", std::ios::binary) << SmallBitmap();
  }
  ~User() {
    ResetEditing();
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
    fs::remove_all(dir_, ignored);
  }
  // A small window: the passes spend their time on pixels, and a user's actions are the
  // same at any size.
  bool Start() {
    if (!app.Start() || !app.Turn()) return false;
    FitClient(app, 360, 300);
    return !testing::Test::HasFatalFailure() && app.Turn();
  }

  // Runs one action and its passes; what went wrong, if anything did.
  std::optional<std::string> Do(const Action& s) {
    Prepare(s.choice, s.kind == 'x' && s.a == 217);
    const HWND tex = app.texture_view();
    for (const Posted& p : kPosted) {
      const HWND window = p.in_texture ? tex : app.front();
      const WPARAM buttons = p.message == WM_MOUSEMOVE ? static_cast<WPARAM>(s.c) : p.buttons;
      if (p.kind == s.kind && window) app.Post(window, p.message, buttons, MAKELPARAM(s.a, s.b));
    }
    if (s.kind == 'c') app.Click(s.a, s.b);
    if (s.kind == 'k') app.Key(s.a, s.b != 0);
    if (s.kind == 'x') app.PostCommand(s.a);
    for (int i = 0; i < (s.kind == 'w' ? s.a : 1); ++i)
      if (!app.Turn()) return "the loop ended" + (app.boxes.empty() ? "" : " after the box \"" + app.boxes.back().text + "\"");
    for (const RecordedBox& box : app.boxes)
      if (box.text == kInternalError) return "internal error box";
    if (auto violation = polygoner.CheckInvariants()) return *violation;
    return std::nullopt;
  }

  // The next few actions of a user with `rng`'s habits, looking at the editor as it is now.
  void Generate(std::mt19937& rng, std::deque<Action>& out) {
    RECT view{0, 0, 1, 1}, tex{0, 0, 1, 1};
    GetClientRect(app.front(), &view);
    if (app.texture_view()) GetClientRect(app.texture_view(), &tex);
    const int w = std::max<int>(view.right, 1), h = std::max<int>(view.bottom, 1);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto choice = [&] { return pick(1 << 20); };
    auto near = [&](int v, int limit) { return v + pick(2 * limit + 1) - limit; };
    if (polygoner.num_faces > kFaceCap) return out.push_back({'x', 201, 0, 0, choice()});
    const int roll = pick(100);
    if (roll < 18) {  // wandering, now and then past the view's edge
      const bool leave = pick(8) == 0;
      out.push_back({'m', leave ? near(pick(2) ? -30 : w + 30, 20) : pick(w), leave ? near(h / 2, h) : pick(h), 0});
    } else if (roll < 30) {  // a corner or a pick somewhere new
      const int x = pick(w), y = pick(h);
      recent_.push_back({x, y});
      out.push_back({'m', x, y, 0});
      out.push_back({'c', x, y});
    } else if (roll < 46) {
      // A polygon: corners new or on places clicked before (resting there so the hover
      // test takes the point), now and then clicked twice, then closed on the first.
      auto rest_click = [&](Pixel p) {
        out.push_back({'m', p.x, p.y, 0});
        out.push_back({'w', 8 + pick(9)});
        out.push_back({'c', p.x, p.y});
        if (pick(6) == 0) out.push_back({'c', p.x, p.y});
      };
      if (pick(3)) out.push_back({'x', 225, 0, 0, choice()});
      // Stray clicks may have left a polygon open; Escape mostly gives this one a fresh start.
      if (pick(4)) out.push_back({'k', VK_ESCAPE, 1}), out.push_back({'k', VK_ESCAPE, 0});
      const int corners = pick(6) ? 3 + pick(2) : 3 + pick(9);
      Pixel first{0, 0};
      for (int i = 0; i < corners; ++i) {
        const Pixel p = !recent_.empty() && pick(3) == 0 ? recent_[static_cast<size_t>(pick(static_cast<int>(recent_.size())))]
                                                         : Pixel{pick(w), pick(h)};
        rest_click(p);
        recent_.push_back(p);
        if (i == 0) first = p;
      }
      if (pick(8)) rest_click(first);
    } else if (roll < 54) {  // a left drag, sometimes out of the view and back
      const int x = pick(w), y = pick(h);
      out.push_back({'m', x, y, 0});
      out.push_back({'d', x, y});
      for (int i = 0, n = 1 + pick(4); i < n; ++i)
        out.push_back({'m', pick(5) == 0 ? near(w, 40) : pick(w), pick(h), MK_LBUTTON});
      out.push_back({'u', pick(w), pick(h)});
    } else if (roll < 59) {  // the right-button depth move
      const int x = pick(w), y = pick(h);
      out.push_back({'r', x, y});
      for (int i = 0, n = 1 + pick(3); i < n; ++i) out.push_back({'m', x, near(y, 60), MK_RBUTTON});
      out.push_back({'R', x, y});
    } else if (roll < 70) {
      const int key = kKeys[pick(std::size(kKeys))];
      const bool held = key == VK_SHIFT || key == VK_CONTROL;
      out.push_back({'k', key, held ? pick(2) : 1, 0, choice()});
      if (!held) out.push_back({'k', key, 0});
    } else if (roll < 88) {
      out.push_back({'x', kCommands[pick(std::size(kCommands))], 0, 0, choice()});
    } else if (roll < 97) {  // over the texture view: picks, boxes and drags of corners
      const int tw = std::max<int>(tex.right, 1), th = std::max<int>(tex.bottom, 1);
      const int x = pick(tw), y = pick(th);
      out.push_back({'t', x, y, 0});
      out.push_back({'T', x, y});
      for (int i = 0, n = pick(3); i < n; ++i) out.push_back({'t', near(x, 30), near(y, 30), MK_LBUTTON});
      out.push_back({'U', near(x, 30), near(y, 30)});
    } else {
      out.push_back({'w', 1 + pick(8)});
    }
    while (recent_.size() > 12) recent_.pop_front();
  }

  AppHarness app;

 private:
  // Answers for whatever the action opens, all drawn from its own seed.
  void Prepare(int seed, bool bitmap_first) {
    app.answers.clear();
    app.files.clear();
    app.colors.clear();
    app.boxes.clear();
    app.dialogs.clear();
    app.file_dialogs.clear();
    app.color_requests.clear();
    auto rng = std::make_shared<std::mt19937>(static_cast<uint32_t>(seed));
    auto pick = [rng](int n) { return static_cast<int>((*rng)() % static_cast<unsigned>(n)); };
    const int box_answers[] = {IDYES, IDNO, IDCANCEL};
    if (pick(3) == 0) app.answers.push_back(box_answers[pick(3)]);
    const std::optional<std::string> files[] = {(dir_ / "a.x").string(), (dir_ / "b.3ds").string(),
                                                (dir_ / "tex.bmp").string(), std::nullopt,
                                                (dir_ / "none" / "c.x").string()};
    for (int i = 0; i < 2; ++i) app.files.push_back(files[pick(std::size(files))]);
    // Load Texture mostly finds the bitmap, so the texture view has corners to work on.
    if (bitmap_first && pick(4)) app.files.push_front(files[2]);
    if (pick(3)) app.colors.push_back(RGB(pick(256), pick(256), pick(256)));
    app.drive = [pick](HWND d) { Answer(d, pick); };
  }

  template <class Pick>
  static void Answer(HWND d, Pick pick) {
    char caption[64] = {};
    GetWindowTextA(d, caption, sizeof caption);
    const std::string name = caption;
    auto one = [&pick](std::initializer_list<const char*> texts) { return texts.begin()[pick(static_cast<int>(texts.size()))]; };
    const bool ok = pick(5) != 0;
    if (name == "Delete") {
      const int buttons[] = {IDCANCEL, 101, 102};
      ClickDlgButton(d, buttons[pick(3)]);
    } else if (name == "Create Shape") {
      if (pick(2)) SelectDlgComboItem(d, 101, one({"Cube", "Sphere", "Cylinder", "Plane"}));
      SelectDlgListItem(d, 102, one({"4", "6", "3", "2x2", "1x1x1", "2x2x2"}));
      for (int id : {103, 104, 105})
        if (pick(3) == 0) TypeDlgItemText(d, id, one({"1", "0", "-2", "12", "x"}));
      ClickDlgButton(d, ok ? IDOK : IDCANCEL);
    } else if (name == "Replace File" || name == "About") {
      ClickDlgButton(d, ok ? IDOK : IDCANCEL);
    } else if (name == "Viewport Options") {
      const int ids[] = {101, 102, 103, 111, 104, 105, 106, 107, 108, 109, 114};
      for (int i = 0, n = pick(4); i < n; ++i) ClickDlgButton(d, ids[pick(std::size(ids))]);
      ClickDlgButton(d, ok ? IDOK : IDCANCEL);
    } else if (name == "Texture Mapping") {
      for (int id : {107, 108})
        if (pick(2)) TypeDlgItemText(d, id, one({"1", "0.5", "2", "0.001", "0", "-1"}));
      for (int id : {111, 112})
        if (pick(2)) TypeDlgItemText(d, id, one({"0", "300", "64", "-5"}));
      if (pick(2)) ClickDlgButton(d, 104);
      ClickDlgButton(d, ok ? IDOK : IDCANCEL);
    } else if (name == "Material Settings") {
      const WORD codes[] = {SB_LINELEFT, SB_LINERIGHT, SB_PAGELEFT, SB_PAGERIGHT, SB_LEFT, SB_RIGHT, SB_THUMBPOSITION};
      for (int i = 0, n = pick(4); i < n; ++i) ScrollDlgItem(d, 101 + pick(6), codes[pick(std::size(codes))], pick(256));
      if (pick(2)) TypeDlgItemText(d, 107, one({"7.5", "0", "-3", "1e9"}));
      ClickDlgButton(d, ok ? IDOK : IDCANCEL);
    }
  }

  fs::path dir_;
  std::deque<Pixel> recent_;
};

const char* Env(const char* name) { return std::getenv(name); }

// The child's side: the actions of a seed, or a list to replay, each written to the log
// before it runs so that a crash leaves the list behind.
void RunHere() {
  const char* replay = Env("FACETRY_SOAK_REPLAY");
  const char* log_path = Env("FACETRY_SOAK_LOG");
  const int count = Env("FACETRY_SOAK_RUN") ? std::atoi(Env("FACETRY_SOAK_RUN")) : 0;
  std::mt19937 rng(static_cast<uint32_t>(Env("FACETRY_SOAK_SEED") ? std::atol(Env("FACETRY_SOAK_SEED")) : 1));
  std::deque<Action> pending;
  std::vector<Action> list = replay ? ReadActions(replay) : std::vector<Action>{};
  std::FILE* log = log_path ? std::fopen(log_path, "w") : nullptr;
  User user;
  ASSERT_TRUE(user.Start());
  int most_faces = 0, most_points = 0, closed = 0, textured = 0;
  for (int i = 0; replay ? i < static_cast<int>(list.size()) : i < count; ++i) {
    Action s;
    if (replay) {
      s = list[static_cast<size_t>(i)];
    } else {
      if (pending.empty()) user.Generate(rng, pending);
      s = pending.front();
      pending.pop_front();
    }
    if (log) std::fprintf(log, "%c %d %d %d %d\n", s.kind, s.a, s.b, s.c, s.choice), std::fflush(log);
    // A pass that never returns is a hang: the alarm ends the process.
    alarm(60);
    const int faces_before = polygoner.num_faces;
    const auto fault = user.Do(s);
    closed += s.kind == 'c' && polygoner.num_faces > faces_before;
    textured += texture.fDisplayBitmap && (s.kind == 'T' || s.kind == 't');
    ASSERT_FALSE(fault.has_value()) << "action " << i << " " << Text(s) << ": " << *fault;
    most_faces = std::max(most_faces, polygoner.num_faces);
    most_points = std::max(most_points, polygoner.num_points);
  }
  alarm(0);
  // How far the user got, so a run that never builds anything shows.
  std::fprintf(stderr, "soak: up to %d faces and %d points, %d polygons closed, %d texture view actions on a bitmap\n",
               most_faces, most_points, closed, textured);
  if (log) std::fclose(log);
}

// Starts this test again in a fresh process with `env` added, its output to `output`.
pid_t Spawn(const std::vector<std::string>& env, const std::string& output) {
  std::vector<std::string> vars(env);
  // The parent's own settings would otherwise reach the child beside the ones given.
  for (char** e = environ; *e; ++e)
    if (std::string_view(*e).substr(0, 13) != "FACETRY_SOAK_") vars.emplace_back(*e);
  std::vector<char*> envp, argv;
  for (std::string& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string exe = fs::read_symlink("/proc/self/exe").string(), filter = "--gtest_filter=Soak.RandomUser";
  argv = {exe.data(), filter.data(), nullptr};
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&files, 1, 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, exe.c_str(), &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  return spawned == 0 ? pid : -1;
}

// Waits for a child; whether it passed.
bool Passed(pid_t pid, const std::string& output) {
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  // A child ended by a signal prints nothing of its own; the alarm's is a hang.
  if (WIFSIGNALED(status))
    std::ofstream(output, std::ios::app) << "\nended by signal " << WTERMSIG(status)
                                         << (WTERMSIG(status) == SIGALRM ? " (an action that never finished)\n" : "\n");
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Tail(const fs::path& path) {
  std::ifstream in(path);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return all.substr(all.size() > 4000 ? all.size() - 4000 : 0);
}

// Delta debugging over the recorded actions: drop chunks while the rest still fails,
// halving the chunks when none can go.
std::vector<Action> Shrink(std::vector<Action> list, const fs::path& work) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  auto fails = [&](const std::vector<Action>& candidate) {
    WriteActions((work / "candidate").string(), candidate);
    const std::string out = (work / "candidate.out").string();
    return !Passed(Spawn({"FACETRY_SOAK_REPLAY=" + (work / "candidate").string()}, out), out);
  };
  // Most faults need only the last few actions: try ever longer tails first, each cheap.
  for (size_t tail = 1; tail < list.size() / 2; tail *= 2)
    if (fails({list.end() - static_cast<long>(tail), list.end()})) {
      list.erase(list.begin(), list.end() - static_cast<long>(tail));
      break;
    }
  size_t parts = 2;
  while (list.size() >= 2 && std::chrono::steady_clock::now() < deadline) {
    const size_t chunk = (list.size() + parts - 1) / parts;
    bool dropped = false;
    for (size_t start = 0; start < list.size() && !dropped; start += chunk) {
      std::vector<Action> rest(list.begin(), list.begin() + static_cast<long>(start));
      rest.insert(rest.end(), list.begin() + static_cast<long>(std::min(start + chunk, list.size())), list.end());
      if (fails(rest)) list = rest, parts = std::max<size_t>(parts - 1, 2), dropped = true;
    }
    if (dropped) continue;
    if (parts >= list.size()) break;
    parts = std::min(parts * 2, list.size());
  }
  return list;
}

TEST(Soak, RandomUser) {
  if (Env("FACETRY_SOAK_RUN") || Env("FACETRY_SOAK_REPLAY")) return RunHere();
  const long total = Env("FACETRY_SOAK_ACTIONS") ? std::atol(Env("FACETRY_SOAK_ACTIONS")) : 10000;
  const long first = Env("FACETRY_SOAK_SEED") ? std::atol(Env("FACETRY_SOAK_SEED")) : 1;
  const fs::path work = fs::temp_directory_path() / ("facetry-soak-runs-" + std::to_string(getpid()));
  fs::create_directories(work);
  // Two runs at a time, one a core.
  for (long seed = first, done = 0; done < total;) {
    struct Run {
      long seed, count;
      std::string log, out;
      pid_t pid;
    };
    std::vector<Run> runs;
    for (int j = 0; j < 2 && done < total; ++j, ++seed, done += kRunLength) {
      Run r{seed, std::min<long>(kRunLength, total - done), (work / ("log" + std::to_string(j))).string(),
            (work / ("out" + std::to_string(j))).string(), -1};
      r.pid = Spawn({"FACETRY_SOAK_RUN=" + std::to_string(r.count), "FACETRY_SOAK_SEED=" + std::to_string(r.seed),
                     "FACETRY_SOAK_LOG=" + r.log},
                    r.out);
      runs.push_back(r);
    }
    std::vector<Run> failed;
    for (const Run& r : runs) {
      const bool passed = Passed(r.pid, r.out);
      if (!passed) failed.push_back(r);
      std::printf("soak: seed %ld, %ld actions: %s\n", r.seed, r.count, passed ? "passed" : "FAILED");
      std::fflush(stdout);
    }
    if (failed.empty()) continue;
    const Run& r = failed.front();
    const std::vector<Action> shortest = Shrink(ReadActions(r.log), work);
    std::string list;
    for (const Action& s : shortest) list += "  " + Text(s) + ",\n";
    // The output of the shortest list itself, not of the last candidate tried.
    WriteActions((work / "candidate").string(), shortest);
    const std::string out = (work / "candidate.out").string();
    Passed(Spawn({"FACETRY_SOAK_REPLAY=" + (work / "candidate").string()}, out), out);
    ADD_FAILURE() << "seed " << r.seed << " (" << r.count << " actions) failed:\n"
                  << Tail(r.out) << "\nshortest list (" << shortest.size() << " actions):\n"
                  << list << "which fails with:\n"
                  << Tail(work / "candidate.out");
    break;
  }
  std::error_code ignored;
  fs::remove_all(work, ignored);
}

// The cases the soak found, each replayed with the check after every action.
class SoakCase : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(user.Start());
    RECT view;
    GetClientRect(user.app.front(), &view);
    cx = view.right / 2, cy = view.bottom / 2;
  }
  void Replay(const std::vector<Action>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      const auto fault = user.Do(list[i]);
      ASSERT_FALSE(fault.has_value()) << "action " << i << " " << Text(list[i]) << ": " << *fault;
    }
  }
  // Rests the pointer on (x, y) until the hover test has looked there, then clicks.
  std::vector<Action> ClickOn(int x, int y) const { return {{'m', x, y}, {'w', 16}, {'c', x, y}}; }
  std::vector<Action> Triangle() const {
    std::vector<Action> list;
    for (Pixel p : std::vector<Pixel>{{cx, cy - 60}, {cx + 60, cy + 40}, {cx - 60, cy + 40}, {cx, cy - 60}})
      for (const Action& s : ClickOn(p.x, p.y)) list.push_back(s);
    return list;
  }

  User user;
  int cx = 0, cy = 0;
};

TEST_F(SoakCase, ASecondClickOnTheCornerJustPlacedIsIgnored) {
  Replay(Triangle());
  ASSERT_EQ(polygoner.num_faces, 1);
  // A new polygon starts on the triangle's second corner; the double click adds nothing.
  Replay(ClickOn(cx + 60, cy + 40));
  Replay({{'c', cx + 60, cy + 40}, {'c', cx + 60, cy + 40}});
  EXPECT_EQ(polygoner.time, 1);
  EXPECT_EQ(polygoner.num_points, 3);
  EXPECT_EQ(polygoner.num_wireframes, 4) << "the triangle's sides and the rubber band";
  // The polygon goes on from there as if the second click had not been.
  Replay(ClickOn(cx + 60, cy + 120));
  EXPECT_EQ(polygoner.time, 2);
  EXPECT_EQ(polygoner.num_wireframes, 5);
  // A corner on empty space, clicked again: no second point on top of it.
  Replay({{'c', cx + 60, cy + 120}});
  EXPECT_EQ(polygoner.time, 2);
  EXPECT_EQ(polygoner.num_points, 4);
  EXPECT_EQ(polygoner.num_wireframes, 5);
}

TEST_F(SoakCase, ANegativeMaterialPowerIsTakenAsZero) {
  Replay(Triangle());
  // It used to fail every rebuild of the solid mesh, and three failed passes end the program.
  user.app.drive = [](HWND d) {
    TypeDlgItemText(d, 107, "-3");
    ClickDlgButton(d, IDOK);
  };
  user.app.Command(259);
  EXPECT_EQ(texture.power, 0.0f);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(user.app.Turn());
  EXPECT_TRUE(user.app.boxes.empty());
}

TEST_F(SoakCase, PasteCancelsAHalfDrawnPolygon) {
  Replay(Triangle());
  Replay({{'x', 50}, {'x', 211}, {'x', 208}, {'x', 225}});
  Replay(ClickOn(cx - 90, cy));
  Replay(ClickOn(cx - 90, cy + 60));
  ASSERT_EQ(polygoner.time, 2);
  // The pasted wires used to follow the rubber band, and Escape then took them for it.
  Replay({{'x', 209}});
  EXPECT_EQ(polygoner.time, 0);
  EXPECT_EQ(polygoner.num_faces, 2);
  EXPECT_EQ(polygoner.num_wireframes, 6);
  Replay({{'m', cx + 90, cy}, {'c', cx + 90, cy}, {'k', VK_ESCAPE, 1}});
  EXPECT_EQ(polygoner.num_wireframes, 6);
}

}  // namespace
