// Whatever a registration holds, the removal changes nothing outside the
// application's home directory, its program group and its desktop
// shortcut: random trees with links, random "Home Dir" and "Link" values and
// random application names, each removed from start to end.

#include <cstdlib>
#include <random>

#include "platform/sim/DialogTemplate.h"
#include "tests/support/TreeSnapshot.h"
#include "tests/uninst/UninstallFixture.h"
#include "uninst/UnattendedUninstall.h"

namespace qz::templates {
extern const platform::sim::DialogTemplateSet kQzuninstDialogs;
}

namespace qz::test {
namespace {

class RemovalProperty : public UninstallFixture {
 protected:
  std::string user_ = platform::sim::SimMachine::UserName();
  std::string profile_ = "C:\\users\\" + user_;
  std::string programs_ = Programs();
  std::string desktop_ = Desktop();
};

// Host path below drive C: of a Windows path there ("" for others).
std::string Below(const std::string& windowsPath) {
  if (windowsPath.size() < 3 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') || windowsPath.compare(1, 2, ":\\") != 0) {
    return "";
  }
  std::string path = windowsPath.substr(3);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

TEST_F(RemovalProperty, NothingOutsideTheApplicationChanges) {
  int runs = std::getenv("QZ_PROPERTY_RUNS") ? std::atoi(std::getenv("QZ_PROPERTY_RUNS")) : 60;
  for (int seed = 0; seed < runs; ++seed) {
    std::mt19937 random(static_cast<std::uint32_t>(seed));  // the same runs on every build
    auto below = [&random](std::size_t n) { return random() % n; };
    auto pick = [&below](const std::vector<std::string>& items) { return items[below(items.size())]; };
    std::string run = "R" + std::to_string(seed);
    // The world around: folders of others, the system, the user's files.
    std::vector<std::string> world = {"C:\\" + run + "OTHER", "C:\\" + run + "OTHER\\Deep", "C:\\windows\\" + run,
                                      profile_ + "\\Documents\\" + run, "C:\\Program Files\\" + run};
    for (const std::string& folder : world) WriteFile(folder + "\\keep.txt", folder);
    std::vector<std::string> targets = world;
    targets.insert(targets.end(), {"C:\\", "C:\\windows", profile_, "C:\\" + run + "MISSING"});

    // The application's own tree, with links into the world.
    std::string own = "C:\\" + run + "APP";
    WriteFile(own + "\\prog.exe");
    for (std::size_t i = below(6); i > 0; --i) {
      std::string dir = own + (below(2) ? "\\Sub" + std::to_string(i) : "");
      WriteFile(dir + "\\f" + std::to_string(i) + ".dat");
      MakeLink(dir + "\\L" + std::to_string(i), pick(targets));
    }
    if (below(3) == 0) MakeLink(own + "\\file.lnk", pick(world) + "\\keep.txt");
    std::string linked = "C:\\" + run + "LINKHOME";
    MakeLink(linked, pick(targets));

    // What each "Home Dir" lets the removal change: the application's own
    // tree under its plain name, the link alone where the home is a link,
    // nothing for any other spelling, however close to a real folder.
    struct Home {
      std::string value, mayChange;
    };
    std::vector<Home> homes = {{own, Below(own)}, {own, Below(own)}, {"c:\\" + run + "app", Below(own)},
                               {linked, Below(linked)}, {"..", ""}, {"..\\..", ""}, {"..\\windows", ""},
                               {"C:\\windows\\...\\system32", ""}, {"C:\\windows\\.. \\system32", ""},
                               {"C:\\users\\...\\" + user_, ""}, {"C:\\Program Files", ""},
                               {profile_ + "\\Documents", ""}, {"C:\\", ""}, {"C:", ""}, {own + "\\..", ""},
                               {own + "\\", ""}, {"C:\\PROGRA~1", ""}, {"\\\\?\\" + own, ""}, {own + "/..", ""},
                               {"", ""}, {"C:\\windows", ""}, {profile_, ""}};
    // Which names are the application's own: every other one is refused
    // before anything is removed, whatever its registration holds.
    struct Name {
      std::string value;
      bool own;
    };
    std::vector<Name> names = {{"QZ " + run, true}, {"QZ " + run, true}, {"...", false}, {" ", false}, {". .", false},
                               {"..", false}, {"a\\b", false}, {"x.", false}, {"CON", false}, {"", false}};
    const Home& home = homes[below(homes.size())];
    const Name& name = names[below(names.size())];
    const std::string& app = name.value;
    std::string group = programs_ + "\\" + app;
    std::vector<std::string> links = {desktop_ + "\\" + run + ".lnk", desktop_ + "\\" + run + ".lnk",
                                      world[0] + "\\keep.txt", "C:\\windows\\" + run + "\\keep.txt",
                                      desktop_ + "\\..\\Documents\\" + run + "\\keep.txt", desktop_ + "\\" + run + ".txt",
                                      desktop_ + "\\Sub\\" + run + ".lnk", run + ".lnk", ""};
    std::string link = pick(links);
    WriteFile(desktop_ + "\\" + run + ".lnk");
    WriteFile(desktop_ + "\\" + run + ".txt");
    WriteFile(desktop_ + "\\Sub\\" + run + ".lnk");
    // Every name is registered, refused ones too, as a registry written by
    // someone else may hold them.
    std::string key = kMaker + "\\" + app;
    registry_.SetValueString(key, "Home Dir", home.value.c_str());
    if (below(4)) registry_.SetValueString(key, "Version", "2.1");
    if (!link.empty()) registry_.SetValueString(key, "Link", link.c_str());
    registry_.SetValueString(kEntries + "\\" + app, "DisplayName", app.c_str());
    if (name.own) WriteFile(group + "\\" + app + ".lnk");

    std::filesystem::path drive = temp_.path() / "machine" / "drive_c";
    TreeSnapshot before = SnapshotOf(drive);
    RunUnattendedUninstall(machine_.platform(), {app}, templates::kQzuninstDialogs);
    TreeSnapshot after = SnapshotOf(drive);
    std::vector<std::string> allowed = {"windows/Vormex/qzlog.txt"};
    if (name.own && !home.mayChange.empty()) allowed.push_back(home.mayChange);
    if (name.own) allowed.push_back(Below(group));
    if (name.own && link == desktop_ + "\\" + run + ".lnk") allowed.push_back(Below(link));
    for (const std::string& path : ChangedPaths(before, after)) {
      bool inside = path == "windows/Vormex";  // made for the log on the first run
      for (const std::string& area : allowed) inside = inside || IsWithin(path, area);
      EXPECT_TRUE(inside) << "run " << seed << ": \"" << path << "\" changed; Home Dir \"" << home.value << "\", Link \""
                          << link << "\", name \"" << app << "\": was \"" << before[path] << "\", is \"" << after[path]
                          << "\"";
    }
    if (HasFailure()) {
      std::string log = HostText(machine_.HostPath(kLogPath));
      ADD_FAILURE() << "the run's log:\n" << log.substr(log.rfind("**Eltávolítás**") == std::string::npos ? 0 : log.rfind("**Eltávolítás**"));
      return;
    }
  }
}

}  // namespace
}  // namespace qz::test
