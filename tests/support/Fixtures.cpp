#include "support/Fixtures.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

#include "core/FileLoader.h"

fs::path SharedDir() { return fs::path(TAVIK_SHARED_DIR); }
fs::path FixturesDir() { return SharedDir() / "fixtures"; }
fs::path RealDataDir() { return SharedDir() / "realdata"; }

std::string MissingReason(const fs::path& Path) {
    std::error_code ec;
    if (fs::exists(Path, ec)) return {};
    if (!fs::exists(SharedDir(), ec))
        return "the shared test data folder " + SharedDir().string() + " is absent; skipped";
    return Path.string() + " is absent; skipped";
}

ByteVector ReadFileBytes(const fs::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + Path.string());
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

LineList ReadCrLfLines(const fs::path& File) {
    const ByteVector bytes = ReadFileBytes(File);
    const std::string text(bytes.begin(), bytes.end());
    LineList lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << File << ": the last line has no CR LF";
            lines.push_back(text.substr(start));
            break;
        }
        std::string line = text.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos)
            ADD_FAILURE() << File << ": a lone CR or LF in line " << lines.size() + 1;
        lines.push_back(std::move(line));
        start = end + 2;
    }
    return lines;
}

void WriteFileBytes(const fs::path& Path, const ByteVector& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + Path.string());
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + Path.string());
}

nlohmann::json LoadJson(const fs::path& Path) {
    std::ifstream in(Path);
    if (!in) throw std::runtime_error("cannot open " + Path.string());
    return nlohmann::json::parse(in);
}

std::vector<fs::path> ListBufrFiles(const fs::path& Dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(Dir, ec)) return files;
    for (const auto& entry : fs::directory_iterator(Dir, ec)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".bufr" || ext == ".bin")) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path JsonBeside(const fs::path& DataFile) {
    fs::path json = DataFile;
    json.replace_extension(".json");
    return json;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::string name = "tavik-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        std::string test = std::string(info->test_suite_name()) + "." + info->name();
        std::replace_if(test.begin(), test.end(), [](char c) { return c == '/' || c == '\\'; }, '_');
        name += "-" + test;
    }
    path = fs::temp_directory_path() / name;
    fs::remove_all(path);
    fs::create_directories(path);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
}

fs::path TempDir::Write(const std::string& Name, const ByteVector& Bytes) const {
    const fs::path file = path / Name;
    WriteFileBytes(file, Bytes);
    return file;
}

ByteVector InMessageBuffer(const ByteVector& Message) {
    if (Message.size() > MessageBufferSize) throw std::invalid_argument("message larger than the message buffer");
    ByteVector buffer(MessageBufferSize, 0);
    std::copy(Message.begin(), Message.end(), buffer.begin());
    return buffer;
}
