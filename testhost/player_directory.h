#pragma once
// PlayerDirectory: a fresh player directory per test under the temp folder, laid out as the
// plug-in expects it: winamp.ini beside Plugins\ (which holds the plug-in DLL and plugin.ini),
// Bookmarks\ and a skin directory. The tree is removed when the object goes. Every name and path
// is UTF-8 (code-page bytes that are not UTF-8 are read in the code page); the files behind them
// are reached through the wide calls, so names in any script work.

#include <optional>
#include <string>

namespace tarnix::testhost {

class PlayerDirectory {
 public:
  // `nameSuffix` ends the root folder's name (a name in another script, say).
  explicit PlayerDirectory(const std::string& nameSuffix = {});
  ~PlayerDirectory();
  PlayerDirectory(const PlayerDirectory&) = delete;
  PlayerDirectory& operator=(const PlayerDirectory&) = delete;

  bool Ok() const { return ok_; }
  // Directories end without a backslash.
  const std::string& Root() const { return root_; }
  std::string Plugins() const { return root_ + "\\Plugins"; }
  std::string Bookmarks() const { return root_ + "\\Bookmarks"; }
  std::string Skin() const { return root_ + "\\Skins\\Default"; }
  std::string WinampIni() const { return root_ + "\\winamp.ini"; }
  std::string PluginIni() const { return Plugins() + "\\plugin.ini"; }

  // Copies a DLL into Plugins\ under its own file name (or the given one); returns the new
  // path, empty on failure.
  std::string InstallPlugin(const std::string& dllPath, const std::string& fileName = {});

  // Private-profile values in any ini file (a full path).
  bool WriteIni(const std::string& iniPath, const std::string& section, const std::string& key,
                const std::string& value);
  std::string ReadIni(const std::string& iniPath, const std::string& section, const std::string& key,
                      const std::string& fallback = {}) const;

  // Files by path relative to Root() (directories are made as needed).
  bool WriteFile(const std::string& relativePath, const std::string& bytes);
  std::optional<std::string> ReadFile(const std::string& relativePath) const;
  bool Exists(const std::string& relativePath) const;

  // Leaves the tree on disk when the object goes (for looking at a failed test's files).
  void Keep() { keep_ = true; }

 private:
  std::string root_;
  bool ok_ = false;
  bool keep_ = false;
};

// The directory of the running program, without a trailing backslash.
std::string ProgramDirectory();

// Removes a directory tree; returns whether it is gone.
bool RemoveTree(const std::string& directory);

}  // namespace tarnix::testhost
