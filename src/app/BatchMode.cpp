#include "app/BatchMode.h"

#include <cstdio>
#include <exception>

#include "app/DecodeDriver.h"
#include "core/Errors.h"

namespace {

std::string UpperAscii(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

void WriteConsoleLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputs("\r\n", stdout);
    std::fflush(stdout);
}

}  // namespace

bool IsBatchCommand(const std::vector<std::string>& Args, bool& Export) {
    if (Args.size() < 2) return false;
    const std::string word = UpperAscii(Args[0]);
    if (word != "DECODE" && word != "EXPORT") return false;
    Export = word == "EXPORT";
    return true;
}

int RunBatchCommand(const std::vector<std::string>& Args, bool Export) {
    try {
        if (!RunBatch(Export, Args)) throw TavikError(Args[0] + " ашипка!");
        return 0;
    } catch (const SilentAbort&) {
        return 1;
    } catch (const std::bad_alloc&) {
        WriteConsoleLine("Недостаточно памяти");
    } catch (const std::exception& e) {
        WriteConsoleLine(e.what());
    }
    return 1;
}

int RunDataCommand(const std::vector<std::string>& Args, DataFormat Format) {
    return RunDataBatch(Format, Args, WriteConsoleLine);
}
