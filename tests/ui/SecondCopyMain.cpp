// A second copy of the program for the running-copy tests: the real window path, with dialogs
// that answer the running-copy question as the first argument says ("ok" or "cancel") and report
// every box on standard output, one line each: its kind, title and text separated by tabs. The
// remaining arguments are the program's.
#include <cstdio>
#include <cstring>
#include <vector>

#include <QString>

#include "ui/WindowDialogs.h"
#include "ui/WindowPath.h"

namespace {

void Report(const char* kind, const QString& title, const QString& text) {
    std::printf("%s\t%s\t%s\n", kind, title.toUtf8().constData(), text.toUtf8().constData());
    std::fflush(stdout);
}

// The real dialogs where nothing answers in their place; every box and question a copy might show
// is reported instead.
class ReportingDialogs : public QtWindowDialogs {
public:
    explicit ReportingDialogs(bool ok) : ok(ok) {}
    void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon) override {
        Report("message", title, text);
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        Report("yesno", title, text);
        return false;
    }
    bool AskOkCancel(QWidget*, const QString& title, const QString& text) override {
        Report("okcancel", title, text);
        return ok;
    }
    std::optional<QString> InputBox(QWidget*, const QString& caption, const QString& prompt, const QString&) override {
        Report("input", caption, prompt);
        return std::nullopt;
    }
    bool OpenFile(QWidget*, FileDialogSettings& settings) override {
        Report("open", settings.title, settings.fileName);
        return false;
    }
    bool SaveFile(QWidget*, FileDialogSettings& settings) override {
        Report("save", settings.title, settings.fileName);
        return false;
    }
    void EditChart(QWidget*, chart::ChartView*, const QPoint&, const QString& caption) override {
        Report("chart", caption, {});
    }
    void Beep() override { Report("beep", {}, {}); }
    void OpenUrl(const QUrl& address) override { Report("url", address.toString(), {}); }

private:
    bool ok;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return 2;
    ReportingDialogs dialogs(std::strcmp(argv[1], "ok") == 0);
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    int count = argc - 1;
    const int status = RunWindowPath(count, arguments.data(), dialogs);
    Report("ended", {}, {});
    return status;
}
