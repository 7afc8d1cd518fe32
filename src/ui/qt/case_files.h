// The menu "文件": new, open, save, save as, the recent files, quit. A case
// file is the command line's case format; opening one enters its texts as a
// user would, so the record follows the controls.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "driver/case_driver.h"

class QAction;
class QMenu;

namespace phe {

class MainWindow;

class CaseFiles : public QObject {
  Q_OBJECT

 public:
  // Puts the menu "文件" first on the window's menu bar. Takes what the
  // controls hold now as the unchanged case.
  explicit CaseFiles(MainWindow& window);

  // The case differs from the file (or from the start-up case).
  bool Unsaved() const;

  // The case as a file holds it: the texts the user typed or chose since the
  // case was started or opened (not what a run wrote back), and the modes.
  CaseInput CurrentCase() const;

  // With unsaved changes asks "保存对案例的修改吗？"; false when the user
  // cancels or the save fails.
  bool MaySaveChanges();

  // The menu commands.
  void New();
  void Open();
  bool Save();
  bool SaveAs();

  // Without asking: a file that is not a valid case is named in a message
  // box with its problem, and nothing changes.
  bool OpenFile(const QString& path);
  bool SaveTo(const QString& path);

  // The sheet heading (project, item, customer) belongs to the case: kept in
  // its file, empty for a new case.
  void Heading(std::string* project, std::string* item, std::string* customer) const;
  void SetHeading(const std::string& project, const std::string& item, const std::string& customer);

  // Most recent first, at most kRecentFiles.
  QStringList RecentFiles() const;
  static constexpr int kRecentFiles = 5;

  // When set, the file dialogs are handed to the hook (true: save); its
  // answer is the file chosen, empty for cancel. Tests choose files this way.
  using FileDialogHook = std::function<QString(bool save)>;
  void SetFileDialogHook(FileDialogHook hook) { file_dialog_hook_ = std::move(hook); }

  // The title: file name, "*" while unsaved, the program's name (redone when
  // the language changes).
  void ShowTitle();

 private:
  void TrackEdits();
  void Edited(const std::string& control, const QString& text);
  void StartClean();
  void ResetWindow();
  void EnterCase(const CaseInput& in);
  QString AskFile(bool save);
  void Remember(const QString& path);
  void ShowRecent();

  MainWindow& window_;
  QMenu* menu_ = nullptr;
  QAction* recent_end_ = nullptr;  // the recent files go before it
  std::vector<QAction*> recent_;
  QString file_;
  std::string saved_;  // the case as last opened or saved, in file form
  // Texts typed or chosen, by control, since the case was started or opened.
  std::map<std::string, std::string> typed_;
  std::string project_, item_, customer_;
  bool loading_ = false;
  FileDialogHook file_dialog_hook_;
};

}  // namespace phe
