#pragma once
// Everything of the window that talks to the user outside the window itself: message boxes, the
// questions of the decode driver, the open dialog, the chart editor, the beep, and (as the
// commands that need them arrive) the save and find dialogs, the clipboard, the printer and the
// shell's "open". The window reaches them only through this interface, so that tests run the
// real window and answer in its place.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

class FindDialog;
class QFileDialog;
class QWidget;
namespace chart {
class Chart;
class ChartView;
struct RenderOptions;
}

enum class MessageIcon { None, Information, Warning, Error };

// State of a file dialog the window keeps between uses: what the next showing starts with and
// what the last one chose.
struct FileDialogSettings {
    QString title;
    QString filter;          // "Description (*.a *.b)"; empty for no filter
    QString defaultSuffix;   // without the dot; empty for none
    QString initialDir;
    QString fileName;        // the name field; after a confirmed dialog the chosen file's full path
};

// State of the find dialog the window keeps between uses.
struct FindDialogSettings {
    QString findText;
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;
    // A modal message box with one OK button; returns when the user closes it.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
    // A modal question with Yes and No buttons and the warning icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal question with OK and Cancel buttons and the question icon; true for OK.
    virtual bool AskOkCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal input box: caption, prompt and the text it starts with. The text on OK, nothing on
    // Cancel.
    virtual std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                            const QString& preset) = 0;
    // The open dialog for an existing file: it starts in settings.initialDir with settings.fileName
    // in its name field. True when the user confirmed a file; settings.fileName is then its full
    // path.
    virtual bool OpenFile(QWidget* parent, FileDialogSettings& settings) = 0;
    // The save dialog: it starts in settings.initialDir with settings.fileName in its name field
    // and settings.title as its title. True when the user confirmed a name; settings.fileName is
    // then its full path.
    virtual bool SaveFile(QWidget* parent, FileDialogSettings& settings) = 0;
    // The chart engine's editor for the chart of view, opened on the part of the chart at pos
    // (view coordinates), modal over owner, with caption as its title, every editor option
    // enabled, no page hidden, the navigation tree shown, its placement not remembered and the
    // hint "Редактор диаграмм"; the chart is refreshed when it closes. A null view does nothing.
    virtual void EditChart(QWidget* owner, chart::ChartView* view, const QPoint& pos, const QString& caption) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
    // The desktop's "open" of an address (a web page, a document, a mail address); its result is
    // of no interest.
    virtual void OpenUrl(const QUrl& address) = 0;
    // The modeless find dialog fdlLists over parent, starting with the text and options of
    // settings (an open one is brought to the front). Its find-next button writes them back into
    // settings and asks findNext, on the window's thread; the window closes it by CloseFind.
    virtual void ShowFind(QWidget* parent, FindDialogSettings& settings, std::function<void()> findNext) = 0;
    virtual void CloseFind() = 0;
    // The clipboard: Windows-1251 text, converted for the platform; a chart as a picture (PNG,
    // SVG and EMF) of size.
    virtual void CopyText(const std::string& cp1251) = 0;
    virtual void CopyChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) = 0;
    // The default printer, without a dialog: the lines as one plain-text job in a fixed-pitch
    // font with the default margins; a chart alone on one page. Raise TavikError when there is no
    // printer or the job cannot be started.
    virtual void PrintLines(const QStringList& lines) = 0;
    virtual void PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) = 0;
};

// The real dialogs.
class QtWindowDialogs : public WindowDialogs {
public:
    void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool AskOkCancel(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QString& preset) override;
    bool OpenFile(QWidget* parent, FileDialogSettings& settings) override;
    bool SaveFile(QWidget* parent, FileDialogSettings& settings) override;
    void EditChart(QWidget* owner, chart::ChartView* view, const QPoint& pos, const QString& caption) override;
    void Beep() override;
    void OpenUrl(const QUrl& address) override;
    void ShowFind(QWidget* parent, FindDialogSettings& settings, std::function<void()> findNext) override;
    void CloseFind() override;
    void CopyText(const std::string& cp1251) override;
    void CopyChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) override;
    void PrintLines(const QStringList& lines) override;
    void PrintChart(const chart::Chart& chart, QSize size, const chart::RenderOptions& options) override;

private:
    QPointer<FindDialog> findDialog;   // owned by its parent window
};

inline constexpr QSize OpenDialogSize(900, 560);
inline constexpr int OpenDialogNameWidth = 440;
inline constexpr int OpenDialogSizeWidth = 110;

// The open dialog as OpenFile shows it, set up from the settings: title, filter, default suffix,
// initial folder and name field; existing files only; the file list in the details view, also
// after every change of folder; no button or menu entry that creates a folder; first shown at
// OpenDialogSize, with name, size, type and date columns wide enough for the long names, the
// sizes, the types and the dates of a data folder.
std::unique_ptr<QFileDialog> CreateOpenDialog(QWidget* parent, const FileDialogSettings& settings);
// The save dialog as SaveFile shows it: title, filter, default suffix, initial folder and name
// field from the settings; a file of the chosen name is replaced without a question, as the
// window's save dialog always did.
std::unique_ptr<QFileDialog> CreateSaveDialog(QWidget* parent, const FileDialogSettings& settings);
