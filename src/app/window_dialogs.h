#pragma once
// The window's dialogs, replaceable so that tests can load and save without them: the
// file chooser, the question before replacing a file, and the message box.

#include <functional>
#include <string>

class QWidget;

namespace lirovox::app {

enum class FileDialogKind { Open, Save };

struct FileRequest {
    FileDialogKind Kind = FileDialogKind::Open;
    std::string Title;   // "Open SMF", "Open TXT", ...
    std::string Filter;  // description with its pattern: "MIDI File (*.mid)"
};

struct WindowDialogs {
    // Returns the chosen path (local file-name bytes), or "" when cancelled. A save
    // dialog asks itself before replacing the file chosen in it.
    std::function<std::string(const FileRequest&)> ChooseFile;
    // Asks a yes/no question (replace an existing file?); true for yes.
    std::function<bool(const std::string& question)> Confirm;
    // Shows a message (UTF-8) in a message box.
    std::function<void(const std::string& text)> Message;
};

// Qt's own dialogs, owned by `parent`: QFileDialog for the chooser (the save dialog asks
// before replacing), QMessageBox for the question and the messages.
WindowDialogs QtDialogs(QWidget* parent);

}  // namespace lirovox::app
