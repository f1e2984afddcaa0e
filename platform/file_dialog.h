// A file open or save dialog that never makes its caller wait. The dialog is the
// desktop's own (zenity, a child process); start() shows it and returns at once, and
// the caller polls it from its idle calls, so a plug-in editor keeps drawing and the
// host's audio keeps running while the user browses. Ending the dialog early (closing
// the editor or the effect) stops the child and reaps it; no process is left behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ruvane {

struct FileDialogRequest {
    enum class Mode { Open, Save };

    Mode mode = Mode::Open;
    std::string title;
    std::string fileTypeName;        // the one file filter's name, e.g. "ZAV Preset"
    std::string extension;           // the filter's extension without the dot, e.g. "zav"
    std::string folder;              // where the dialog starts; empty: the user's home folder
    std::string proposedName;        // the file name a save dialog offers
    unsigned long parentWindow = 0;  // the X11 window the dialog belongs to; 0: none
};

class FileDialog {
public:
    // The dialog program, found on PATH, and the Debian package that brings it.
    static constexpr char kProgram[] = "zenity";
    static constexpr char kPackage[] = "zenity";
    // A chosen path is never longer than this; a longer answer is not a path.
    static constexpr std::size_t kMaxAnswerBytes = 16384;

    enum class Status {
        Closed,         // no dialog is open
        Open,           // the user is still choosing
        Chosen,         // the dialog ended with exactly one path
        NothingChosen,  // the dialog ended without one path (cancelled, failed, several)
    };

    FileDialog() = default;
    ~FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // Shows the dialog. False when one is already open or none could be started; when
    // the program is missing, stderr says which package to install.
    bool start(const FileDialogRequest& request);
    bool isOpen() const { return child_ > 0; }
    // Takes what the dialog has answered so far, without waiting. Chosen and
    // NothingChosen are reported once, when the dialog ends; Chosen puts the path into
    // *path. A save path without the filter's extension gets it appended; the dialog
    // asked about replacing the name as typed, so when the name with the extension is
    // taken, a second dialog asks about replacing that file (still Open meanwhile), and
    // only a yes makes it Chosen.
    Status poll(std::string* path);
    // Ends an open dialog and reaps its process; nothing is chosen.
    void cancel();

    // The dialog's command line, program first.
    static std::vector<std::string> commandLine(const FileDialogRequest& request);
    // The command line of the question whether to replace an existing file, program first.
    static std::vector<std::string> replaceQuestionCommandLine(const FileDialogRequest& request,
                                                               const std::string& path);

private:
    enum class Stage { Choosing, ConfirmingReplace };

    // Starts the dialog program with these arguments; its standard output comes to us.
    bool spawn(const std::vector<std::string>& args);
    // Reads what the child has written; false once its output has ended.
    bool readAnswer();
    void closeOutput();
    // The one chosen path; *extended says whether the extension was appended to it.
    bool answerIsOnePath(std::string* path, bool* extended) const;
    Status takeChosenFile(std::string* path);
    Status takeReplaceAnswer(bool confirmed, std::string* path);

    pid_t child_ = -1;
    int output_ = -1;
    std::string answer_;
    bool answerTooLong_ = false;
    FileDialogRequest request_;
    Stage stage_ = Stage::Choosing;
    std::string pathToReplace_;
};

}  // namespace ruvane
