// Arbitrary bytes as a settings file, through the reader's checks and the loader's. A file the
// reader accepts says one thing: saved back, it reads as the same settings, and the loader can
// take its values; a refused one always says why.
#include <cstdlib>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "ParameterSet.h"
#include "SettingsFile.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvane;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    std::optional<SettingsFileContent> content = ParseSettingsJson(text, &why);
    if (!content) {
        Require(!why.isEmpty());
        return 0;
    }
    Require(why.isEmpty());
    std::vector<uint8_t> block = content->block;
    ParameterSet params;
    params.SetBlock(block.data(), block.size());
    const EscIdentity esc{content->model, content->family, 'A', 12, 0};
    const QByteArray saved =
        MakeSettingsJson(esc, params, block, QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
    const std::optional<SettingsFileContent> again = ParseSettingsJson(saved);
    Require(again && again->model == content->model && again->family == content->family &&
            again->block == content->block);

    // The load: the file's values placed on a block of the same description.
    std::vector<uint8_t> mine = content->block;
    ParameterSet current;
    current.SetBlock(mine.data(), mine.size());
    current.TakeValuesFrom(params);
    Require(mine == content->block);
    return 0;
}
