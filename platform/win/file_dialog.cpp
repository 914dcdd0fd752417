// The common file dialogs: a request in, the chosen path out, answered by Qt's own file
// dialog, by the installed responder, or (headless, with nobody to answer) cancelled.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

namespace {

DWORD last_error = 0;

BOOL Fail(DWORD error) {
  last_error = error;
  return FALSE;
}

struct Filter {
  std::string description;
  std::vector<std::string> patterns;
};

// A description without a pattern after it ends the list as the empty string does.
std::vector<Filter> ParseFilters(LPCSTR list) {
  std::vector<Filter> filters;
  while (list && *list) {
    const char* pattern = list + std::strlen(list) + 1;
    if (!*pattern) break;
    Filter filter{list, {}};
    for (const char* at = pattern; *at;) {
      while (*at == ';' || *at == ' ') ++at;
      const char* end = at;
      while (*end && *end != ';') ++end;
      const char* last = end;
      while (last > at && last[-1] == ' ') --last;
      if (last > at) filter.patterns.emplace_back(at, last);
      at = end;
    }
    filters.push_back(filter);
    list = pattern + std::strlen(pattern) + 1;
  }
  return filters;
}

// '*' and '?' wildcards, case-insensitively; "*.*" takes names without a dot too.
bool Matches(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool FilterTakes(const Filter& filter, const std::string& name) {
  for (const std::string& pattern : filter.patterns)
    if (Matches(pattern, name)) return true;
  return false;
}

// The filter offered first (1-based); the platform takes 0 or one past the end as the first.
DWORD OfferedFilter(const std::vector<Filter>& filters, DWORD index) {
  return index >= 1 && index <= filters.size() ? index : 1;
}

// The filter a name chosen without a known filter goes with: the one offered if it takes
// the name, else the first that does, else the one offered.
DWORD FilterFor(const std::vector<Filter>& filters, DWORD offered, const std::string& name) {
  if (filters.empty()) return 0;
  offered = OfferedFilter(filters, offered);
  if (FilterTakes(filters[offered - 1], name)) return offered;
  for (size_t i = 0; i < filters.size(); ++i)
    if (FilterTakes(filters[i], name)) return static_cast<DWORD>(i + 1);
  return offered;
}

// The path lpstrFile holds on the way in; none when it is missing or unterminated.
std::optional<std::string> InitialPath(const OPENFILENAMEA& request) {
  if (!request.lpstrFile || request.nMaxFile == 0) return std::nullopt;
  const void* end = std::memchr(request.lpstrFile, '\0', request.nMaxFile);
  if (!end) return std::nullopt;
  return std::string(request.lpstrFile,
                     static_cast<size_t>(static_cast<const char*>(end) - request.lpstrFile));
}

std::string Title(bool save, const OPENFILENAMEA& request) {
  return request.lpstrTitle ? request.lpstrTitle : save ? "Save As" : "Open";
}

struct Choice {
  std::string path;
  DWORD filter = 0;  // 0: decided by the name
};

BOOL Fill(OPENFILENAMEA* request, Choice choice, const std::vector<Filter>& filters) {
  std::string& path = choice.path;
  const size_t offset = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
  if (offset == path.size()) return Fail(FNERR_INVALIDFILENAME);
  if (path.find('.', offset) == std::string::npos && request->lpstrDefExt && *request->lpstrDefExt)
    path += std::string(".") + request->lpstrDefExt;
  if (path.size() >= 0xFFFF) return Fail(FNERR_INVALIDFILENAME);  // beyond what the offsets can index
  if (path.size() + 1 > request->nMaxFile) {
    if (request->nMaxFile >= 2) {
      const WORD needed = static_cast<WORD>(path.size() + 1);
      request->lpstrFile[0] = static_cast<char>(needed & 0xFF);
      request->lpstrFile[1] = static_cast<char>(needed >> 8);
    }
    return Fail(FNERR_BUFFERTOOSMALL);
  }
  std::memcpy(request->lpstrFile, path.c_str(), path.size() + 1);
  const std::string name = path.substr(offset);
  const size_t dot = name.rfind('.');
  request->nFileOffset = static_cast<WORD>(offset);
  request->nFileExtension = dot == std::string::npos ? 0 : static_cast<WORD>(offset + dot + 1);
  if (request->lpstrFileTitle && request->nMaxFileTitle > 0) {
    const size_t count = std::min<size_t>(name.size(), request->nMaxFileTitle - 1);
    std::memcpy(request->lpstrFileTitle, name.data(), count);
    request->lpstrFileTitle[count] = '\0';
  }
  request->nFilterIndex = choice.filter ? choice.filter : FilterFor(filters, request->nFilterIndex, name);
  last_error = 0;
  return TRUE;
}

// Qt reads a filter's patterns from the parentheses at the end of its text.
QString QtFilter(const Filter& filter) {
  QStringList patterns;
  for (const std::string& pattern : filter.patterns) patterns << QString::fromLocal8Bit(pattern.c_str());
  const QString joined = patterns.join(' ');
  const QString description = QString::fromLocal8Bit(filter.description.c_str());
  return description.endsWith('(' + joined + ')') ? description : description + " (" + joined + ')';
}

// The checks the platform's dialog makes before it closes that Qt's does not.
bool Acceptable(QWidget* dialog, bool save, DWORD flags, const QString& path) {
  const QFileInfo file(path);
  if ((flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT)) && !file.dir().exists()) {
    QMessageBox::warning(dialog, dialog->windowTitle(), "The folder does not exist:\n" + file.absolutePath());
    return false;
  }
  if (save || file.exists()) return true;
  if (flags & OFN_CREATEPROMPT)
    return QMessageBox::question(dialog, dialog->windowTitle(),
                                 file.fileName() + " does not exist.\nCreate the file?") == QMessageBox::Yes;
  if (flags & OFN_FILEMUSTEXIST) {
    QMessageBox::warning(dialog, dialog->windowTitle(), file.fileName() + "\nFile not found.");
    return false;
  }
  return true;
}

std::optional<Choice> AskPerson(bool save, const OPENFILENAMEA& request) {
  const std::unique_ptr<QFileDialog> dialog(MakeFileDialog(save, request));
  while (dialog->exec() == QDialog::Accepted) {
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty() || !Acceptable(dialog.get(), save, request.Flags, chosen.front())) continue;
    const int filter = static_cast<int>(dialog->nameFilters().indexOf(dialog->selectedNameFilter()));
    return Choice{chosen.front().toLocal8Bit().toStdString(),
                  filter >= 0 ? static_cast<DWORD>(filter + 1) : 0};
  }
  return std::nullopt;
}

BOOL RunFileDialog(bool save, OPENFILENAMEA* request) {
  last_error = 0;
  if (!request || request->lStructSize != sizeof(OPENFILENAMEA)) return Fail(CDERR_STRUCTSIZE);
  if (!qApp) return Fail(CDERR_INITIALIZATION);
  if (!InitialPath(*request)) return Fail(FNERR_INVALIDFILENAME);
  std::optional<Choice> choice;
  // A copy: the responder may install another while it runs.
  const auto answer = GetModalResponder().answer_file;
  if (answer) {
    if (std::optional<std::string> path = answer(save, *request)) choice = Choice{*path};
  } else if (!IsInteractivePlatform()) {
    std::fprintf(stderr, "%s: %s dialog cancelled, nobody to answer it\n", Title(save, *request).c_str(),
                 save ? "save-file" : "open-file");
  } else {
    choice = AskPerson(save, *request);
  }
  if (!choice) return FALSE;  // cancelled, which is no error
  return Fill(request, *choice, ParseFilters(request->lpstrFilter));
}

}  // namespace

QFileDialog* MakeFileDialog(bool save, const OPENFILENAMEA& request) {
  HWND top = LiveWindow(TopLevelOf(request.hwndOwner));
  auto* dialog = new QFileDialog(top ? top->frame.data() : nullptr);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setWindowTitle(QString::fromLocal8Bit(Title(save, request).c_str()));
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(!save && (request.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                   : QFileDialog::AnyFile);
  // Without the flag the program asks about replacing a file itself, so the dialog must not.
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !(request.Flags & OFN_OVERWRITEPROMPT));
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  const std::vector<Filter> filters = ParseFilters(request.lpstrFilter);
  if (!filters.empty()) {
    QStringList names;
    for (const Filter& filter : filters) names << QtFilter(filter);
    dialog->setNameFilters(names);
    dialog->selectNameFilter(names[static_cast<int>(OfferedFilter(filters, request.nFilterIndex)) - 1]);
  }
  if (request.lpstrDefExt && *request.lpstrDefExt)
    dialog->setDefaultSuffix(QString::fromLocal8Bit(request.lpstrDefExt));
  // The path in lpstrFile gives the folder and the name; a bare name takes the initial folder.
  const QString initial = QString::fromLocal8Bit(InitialPath(request).value_or(std::string()).c_str());
  const qsizetype slash = initial.lastIndexOf('/');
  if (slash >= 0)
    dialog->setDirectory(slash == 0 ? QStringLiteral("/") : initial.left(slash));
  else if (request.lpstrInitialDir && *request.lpstrInitialDir)
    dialog->setDirectory(QString::fromLocal8Bit(request.lpstrInitialDir));
  const QString name = initial.mid(slash + 1);
  if (!name.isEmpty()) dialog->selectFile(name);
  return dialog;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* request) { return RunFileDialog(false, request); }

BOOL GetSaveFileNameA(OPENFILENAMEA* request) { return RunFileDialog(true, request); }

DWORD CommDlgExtendedError() { return last_error; }
