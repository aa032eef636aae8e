// Drives the converter dialog program as its user would: starts it, finds
// its windows, clicks with BM_CLICK, presses keys, reads texts with
// WM_GETTEXT, and checks what it shows and the files it writes.
//
//   dialog_driver DIALOG_EXE FILES_DIR          run every check
//   dialog_driver --pose DIALOG_EXE FILES_DIR   open the dialog with a document
//                                               chosen, and hold it for a picture
//
// FILES_DIR holds letter.wrd (a Word document), Ωμέγα\γράμμα.wrd (the same
// document under Greek names), notes.txt (not one) and expected.rtf (what the
// Linux build writes for letter.wrd). The driver runs under the programs'
// manifest, so its narrow strings, like the dialog's, are UTF-8.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ui/dialog_control_ids.h"
#include "ui/dialog_messages.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto WindowTimeout = 15s;
constexpr auto AbsenceWait = 700ms;
constexpr auto PollInterval = 20ms;
constexpr const char* DialogClass = "#32770";
constexpr const char* DialogCaption = "Zentoro";
constexpr const char* OpenFileTitle = "Load Text file(s)...";
// The open-file dialog's file-name box and its Open and Cancel buttons.
constexpr int FileNameBox = 0x47c;
constexpr int OpenFileOk = IDOK;
constexpr int OpenFileCancel = IDCANCEL;

int failures = 0;

void check(bool passed, const std::string& what) {
    std::printf("%s: %s\n", passed ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    if (!passed) ++failures;
}

void checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    bool same = actual == expected;
    check(same, what);
    if (!same) std::printf("    expected \"%s\"\n    actual   \"%s\"\n", expected.c_str(), actual.c_str());
}

std::string textOf(HWND window) {
    LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string classOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Polls until `done` holds; false if the timeout passes first.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(PollInterval);
    }
}

// Polls until `found` yields a window, or the timeout passes.
HWND waitFor(const std::function<HWND()>& found, std::chrono::milliseconds timeout) {
    HWND window = nullptr;
    waitUntil([&] { return (window = found()) != nullptr; }, timeout);
    return window;
}

// A visible top-level dialog of the process with the given caption.
HWND findTopDialog(DWORD processId, const std::string& caption) {
    struct Search {
        DWORD processId;
        const std::string* caption;
        HWND found;
    } search{processId, &caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->processId || !IsWindowVisible(window) || classOf(window) != DialogClass) return TRUE;
            if (textOf(window) != *s->caption) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForDialog(DWORD processId, const std::string& caption) {
    return waitFor([&] { return findTopDialog(processId, caption); }, WindowTimeout);
}

// True when no such dialog appears within a short while.
bool staysAbsent(DWORD processId, const std::string& caption) {
    return waitFor([&] { return findTopDialog(processId, caption); }, AbsenceWait) == nullptr;
}

bool waitUntilGone(HWND window) {
    return waitUntil([&] { return !IsWindow(window); }, WindowTimeout);
}

std::vector<std::string> childTexts(HWND window, const char* className) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) == className) texts.push_back(textOf(child));
    }
    return texts;
}

// Posted, not sent: the click may open a modal window, and the driver must
// not wait inside it.
void click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

// The converter dialog program, running.
class DialogProgram {
public:
    explicit DialogProgram(const std::string& exe) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_)) {
            return;
        }
        dialog_ = waitForDialog(process_.dwProcessId, DialogCaption);
    }
    ~DialogProgram() {
        if (process_.hProcess == nullptr) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    DialogProgram(const DialogProgram&) = delete;
    DialogProgram& operator=(const DialogProgram&) = delete;

    HWND dialog() const { return dialog_; }
    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    std::string field(int id) const { return textOf(control(id)); }
    void press(int buttonId) const { click(control(buttonId)); }

    // A key as the keyboard delivers it: to the window with the focus,
    // through the dialog's message loop.
    void pressKey(WPARAM key) const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        HWND target = dialog_;
        if (GetGUIThreadInfo(process_.dwThreadId, &info) && info.hwndFocus) target = info.hwndFocus;
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    }

    HWND waitForWindow(const std::string& caption) const { return waitForDialog(process_.dwProcessId, caption); }
    bool noWindowAppears(const std::string& caption) const { return staysAbsent(process_.dwProcessId, caption); }

    // The program's exit code once it has ended, or nothing if it keeps running.
    std::optional<DWORD> waitForExit() const {
        if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

// Closes the message box with the given caption and reports its text.
std::optional<std::string> dismissMessage(const DialogProgram& program, const std::string& caption) {
    HWND box = program.waitForWindow(caption);
    if (box == nullptr) return std::nullopt;
    std::string shown;
    for (const std::string& text : childTexts(box, "Static")) shown += text;
    click(GetDlgItem(box, IDOK));
    waitUntilGone(box);
    return shown;
}

void checkMessage(const DialogProgram& program, const std::string& caption, const std::string& text,
                  const std::string& when) {
    std::optional<std::string> shown = dismissMessage(program, caption);
    check(shown.has_value(), when + ": a message box captioned \"" + caption + "\" appears");
    if (shown) checkEqual(*shown, text, when + ": its text");
}

// Presses Browse and returns the open-file dialog, or null if none appeared.
HWND openFileDialog(const DialogProgram& program) {
    program.press(ZENTORO_BROWSE_BUTTON);
    return program.waitForWindow(OpenFileTitle);
}

// Browses to `path`, typed into the open-file dialog's file-name box.
bool browseTo(const DialogProgram& program, const std::string& path) {
    HWND picker = openFileDialog(program);
    if (picker == nullptr) return false;
    SendMessageA(GetDlgItem(picker, FileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    click(GetDlgItem(picker, OpenFileOk));
    return waitUntilGone(picker);
}

void checkFields(const DialogProgram& program, const std::string& input, const std::string& output,
                 const std::string& when) {
    checkEqual(program.field(ZENTORO_INPUT_PATH_EDIT), input, when + ": input field");
    checkEqual(program.field(ZENTORO_OUTPUT_PATH_EDIT), output, when + ": output field");
}

struct Files {
    std::string dir;
    std::string document() const { return dir + "\\letter.wrd"; }
    std::string greekDocument() const { return dir + "\\Ωμέγα\\γράμμα.wrd"; }
    std::string notDocument() const { return dir + "\\notes.txt"; }
    std::string expectedRtf() const { return readFile(dir + "\\expected.rtf"); }
};

void checkTemplateControls(const WORD* firstItem);

// Template 101 as stored in the program: language, style, size, caption,
// font, and the controls.
void checkDialogTemplate(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                           MAKEINTRESOURCEA(ZENTORO_CONVERTER_DIALOG),
                                           MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK))
                         : nullptr;
    check(found != nullptr, "template 101 is an English (United Kingdom) dialog resource");
    if (found == nullptr) return;
    auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    check(dialogTemplate->style == style, "template style");
    check(dialogTemplate->dwExtendedStyle == 0, "template has no extended style");
    check(dialogTemplate->cdit == 7, "template has seven controls");
    check(dialogTemplate->x == 0 && dialogTemplate->y == 0 && dialogTemplate->cx == 187 && dialogTemplate->cy == 111,
          "template position 0,0 and size 187 x 111");
    // After the fixed part: menu, class, caption, point size, face name.
    auto* words = reinterpret_cast<const WORD*>(dialogTemplate + 1);
    check(words[0] == 0 && words[1] == 0, "template has no menu and the standard dialog class");
    const wchar_t* caption = reinterpret_cast<const wchar_t*>(words + 2);
    check(std::wstring(caption) == L"Zentoro", "template caption");
    const WORD* pointSize = reinterpret_cast<const WORD*>(caption + wcslen(caption) + 1);
    const wchar_t* face = reinterpret_cast<const wchar_t*>(pointSize + 1);
    check(*pointSize == 8 && std::wstring(face) == L"MS Sans Serif", "template font 8 point MS Sans Serif");
    checkTemplateControls(reinterpret_cast<const WORD*>(face + wcslen(face) + 1));
    FreeLibrary(module);
}

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD style;
};

constexpr DWORD PathEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL;
constexpr int NoId = 0xFFFF;  // -1 in the template's 16-bit id
const ExpectedControl ExpectedControls[] = {
    {IDOK, "Button", "Process File", 135, 90, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDCANCEL, "Button", "Cancel", 5, 90, 50, 15, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {ZENTORO_BROWSE_BUTTON, "Button", "Browse for Psion 5 Word file", 5, 5, 180, 15,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {ZENTORO_INPUT_PATH_EDIT, "Edit", "", 10, 30, 170, 15, PathEditStyle},
    {NoId, "Button", "Input Psion 5 Word file", 5, 20, 180, 30, WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
    {NoId, "Button", "Output Folder for RTF", 5, 55, 180, 30, WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
    {ZENTORO_OUTPUT_PATH_EDIT, "Edit", "", 10, 65, 170, 15, PathEditStyle},
};

const WORD* alignedToDword(const WORD* at) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(at) + 3) & ~uintptr_t{3});
}

std::wstring wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// A template names a control's class by a predefined atom or by its name.
bool namesClass(const WORD* at, const std::string& className) {
    WORD atom = className == "Button" ? 0x0080 : 0x0081;
    if (at[0] == 0xFFFF) return at[1] == atom;
    return _wcsicmp(reinterpret_cast<const wchar_t*>(at), wide(className.c_str()).c_str()) == 0;
}

// Each control's template entry, exactly: style, extended style, position,
// size, id, class and text.
void checkTemplateControls(const WORD* firstItem) {
    const WORD* at = firstItem;
    for (const ExpectedControl& expected : ExpectedControls) {
        at = alignedToDword(at);
        auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        std::string name = std::string("template control \"") + expected.text + "\"";
        check(item->style == expected.style && item->dwExtendedStyle == 0, name + ": style");
        check(item->x == expected.x && item->y == expected.y && item->cx == expected.width &&
                  item->cy == expected.height,
              name + ": position and size");
        check(item->id == expected.id, name + ": id");
        at = reinterpret_cast<const WORD*>(item + 1);
        check(namesClass(at, expected.className), name + ": class " + expected.className);
        at = at[0] == 0xFFFF ? at + 2 : at + wcslen(reinterpret_cast<const wchar_t*>(at)) + 1;
        std::wstring text(reinterpret_cast<const wchar_t*>(at));
        check(text == wide(expected.text), name + ": text");
        at += text.size() + 1;
        at += 1 + *at / sizeof(WORD);  // creation data: a byte count, then the bytes
    }
}

// Edit controls trade WS_BORDER for a sunken client edge when created.
bool hasStyle(HWND control, DWORD expected) {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    DWORD extended = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_EXSTYLE));
    if ((expected & WS_BORDER) && !(style & WS_BORDER) && (extended & WS_EX_CLIENTEDGE)) style |= WS_BORDER;
    return (style & expected) == expected;
}

// The dialog's client area is 187 x 111 dialog units; a control's pixels
// follow from the same scale, within rounding.
bool placedAt(HWND dialog, HWND control, const ExpectedControl& expected) {
    RECT client{};
    GetClientRect(dialog, &client);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    auto matches = [](long pixels, int units, long unitPixels, int unitCount) {
        return std::abs(pixels - MulDiv(units, unitPixels, unitCount)) <= 2;
    };
    return matches(rect.left, expected.x, client.right, 187) && matches(rect.top, expected.y, client.bottom, 111) &&
           matches(rect.right - rect.left, expected.width, client.right, 187) &&
           matches(rect.bottom - rect.top, expected.height, client.bottom, 111);
}

void checkControls(const DialogProgram& program) {
    HWND control = GetWindow(program.dialog(), GW_CHILD);
    for (const ExpectedControl& expected : ExpectedControls) {
        std::string name = std::string("control \"") + expected.text + "\" (" + std::to_string(expected.id) + ")";
        check(control != nullptr, name + " is present in template order");
        if (control == nullptr) return;
        check((GetDlgCtrlID(control) & 0xFFFF) == expected.id, name + ": id");
        checkEqual(classOf(control), expected.className, name + ": class");
        checkEqual(textOf(control), expected.text, name + ": text");
        check(hasStyle(control, expected.style), name + ": style");
        check(placedAt(program.dialog(), control, expected), name + ": position and size");
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

void checkOpensEmptyAndReadOnly(const DialogProgram& program) {
    check(program.dialog() != nullptr, "the dialog \"Zentoro\" opens");
    if (program.dialog() == nullptr) return;
    check(IsWindowVisible(program.dialog()) && !IsIconic(program.dialog()), "the dialog opens restored and visible");
    checkControls(program);
    checkFields(program, "", "", "at start");
    for (int id : {ZENTORO_INPUT_PATH_EDIT, ZENTORO_OUTPUT_PATH_EDIT}) {
        check((GetWindowLongPtrA(program.control(id), GWL_STYLE) & ES_READONLY) != 0,
              "field " + std::to_string(id) + " is read-only");
    }
}

void checkProcessBeforeBrowseFails(const DialogProgram& program) {
    program.press(IDOK);
    checkMessage(program, zentoro::FailedCaption, zentoro::ConversionFailedMessage, "Process File before any browse");
}

void checkCancelledBrowseChangesNothing(const DialogProgram& program, const std::string& when) {
    std::string input = program.field(ZENTORO_INPUT_PATH_EDIT);
    std::string output = program.field(ZENTORO_OUTPUT_PATH_EDIT);
    HWND picker = openFileDialog(program);
    check(picker != nullptr, when + ": Browse opens the open-file dialog \"" + OpenFileTitle + "\"");
    if (picker == nullptr) return;
    click(GetDlgItem(picker, OpenFileCancel));
    check(waitUntilGone(picker), when + ": Cancel closes the open-file dialog");
    check(program.noWindowAppears(zentoro::FailedCaption) && program.noWindowAppears(zentoro::SuccessCaption),
          when + ": a cancelled browse shows no message");
    checkFields(program, input, output, when + ": after a cancelled browse");
}

void checkBrowseAndProcess(const DialogProgram& program, const std::string& document, const std::string& expected,
                           const std::string& when) {
    check(browseTo(program, document), when + ": the open-file dialog takes the typed path and closes");
    checkFields(program, document, document + ".rtf", when + ": after browsing");
    DeleteFileA((document + ".rtf").c_str());
    program.press(IDOK);
    checkMessage(program, zentoro::SuccessCaption, zentoro::ConvertedMessage, when + ": Process File");
    check(readFile(document + ".rtf") == expected, when + ": the RTF written is byte-identical to the Linux build's");
}

void checkProcessAgainReplacesOutput(const DialogProgram& program, const std::string& document,
                                     const std::string& expected) {
    std::ofstream(document + ".rtf", std::ios::binary) << "stale output that must be replaced, and is longer";
    program.press(IDOK);
    checkMessage(program, zentoro::SuccessCaption, zentoro::ConvertedMessage, "Process File again");
    check(readFile(document + ".rtf") == expected, "Process File again replaces the output file");
}

void checkRejectedFileChangesNothing(const DialogProgram& program, const Files& files) {
    std::string input = program.field(ZENTORO_INPUT_PATH_EDIT);
    std::string output = program.field(ZENTORO_OUTPUT_PATH_EDIT);
    check(browseTo(program, files.notDocument()), "browsing to notes.txt closes the open-file dialog");
    checkMessage(program, zentoro::FailedCaption, zentoro::NotWordFileMessage, "browsing to a file that is not Word's");
    checkFields(program, input, output, "after the rejected file");
}

void checkEnterProcessesAndEscapeEnds(const std::string& exe) {
    DialogProgram program(exe);
    program.pressKey(VK_RETURN);
    checkMessage(program, zentoro::FailedCaption, zentoro::ConversionFailedMessage, "Enter, before any browse");
    program.pressKey(VK_ESCAPE);
    std::optional<DWORD> exit = program.waitForExit();
    check(exit.has_value() && *exit == 0, "Escape ends the program with exit code 0");
}

void checkEndsBy(const std::string& exe, const std::string& how, const std::function<void(const DialogProgram&)>& end) {
    DialogProgram program(exe);
    if (program.dialog() == nullptr) {
        check(false, how + ": the dialog opens");
        return;
    }
    end(program);
    std::optional<DWORD> exit = program.waitForExit();
    check(exit.has_value() && *exit == 0, how + " ends the program with exit code 0");
}

int runChecks(const std::string& exe, const Files& files) {
    std::string expected = files.expectedRtf();
    check(!expected.empty(), "expected.rtf, from the Linux build, is there");
    checkDialogTemplate(exe);
    {
        DialogProgram program(exe);
        checkOpensEmptyAndReadOnly(program);
        if (program.dialog() != nullptr) {
            checkProcessBeforeBrowseFails(program);
            checkCancelledBrowseChangesNothing(program, "before any browse");
            checkBrowseAndProcess(program, files.document(), expected, "letter.wrd");
            checkProcessAgainReplacesOutput(program, files.document(), expected);
            checkBrowseAndProcess(program, files.greekDocument(), expected, "Ωμέγα\\γράμμα.wrd");
            checkRejectedFileChangesNothing(program, files);
            checkCancelledBrowseChangesNothing(program, "after a browse");
            program.press(IDCANCEL);
            std::optional<DWORD> exit = program.waitForExit();
            check(exit.has_value() && *exit == 0, "Cancel ends the program with exit code 0");
        }
    }
    checkEnterProcessesAndEscapeEnds(exe);
    checkEndsBy(exe, "the close box", [](const DialogProgram& p) { PostMessageA(p.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    std::printf("%d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}

// Opens the dialog with letter.wrd chosen, writes its screen geometry to
// FILES_DIR\posed, and holds it until that file is deleted (by whoever takes
// the picture), or a minute has passed.
int pose(const std::string& exe, const Files& files) {
    DialogProgram program(exe);
    if (program.dialog() == nullptr || !browseTo(program, files.document())) return 1;
    std::string marker = files.dir + "\\posed";
    // The dialog's place on the screen, as an X geometry for the picture.
    RECT frame{};
    GetWindowRect(program.dialog(), &frame);
    std::ofstream(marker) << frame.right - frame.left << 'x' << frame.bottom - frame.top << '+' << frame.left << '+'
                          << frame.top << '\n';
    auto deadline = Clock::now() + 60s;
    while (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES && Clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    program.press(IDCANCEL);
    return program.waitForExit() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--pose") return pose(argv[2], Files{argv[3]});
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_driver [--pose] DIALOG_EXE FILES_DIR\n");
        return 2;
    }
    return runChecks(argv[1], Files{argv[2]});
}
