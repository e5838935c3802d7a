#pragma once
// What every harness shares: the property check that stops the fuzzer on the input
// that broke it, the arguments a run without any gets, a reader of the input's
// bytes, scratch files and a quiet message handler.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace kestrel::fuzz {

// Prints the broken property and traps, so the fuzzer keeps the input as a crash.
[[noreturn]] void Violated(const char* property, const QString& detail = QString());
inline void Check(bool holds, const char* property, const QString& detail = QString()) {
    if (!holds)
        Violated(property, detail);
}

// What a harness adds to a run started without inputs.
struct Defaults {
    QStringList buildSeeds; // files of the build copied into the corpus, `seedPrefix` before their bytes
    QByteArray seedPrefix;
    QStringList flags; // libFuzzer flags ("-detect_leaks=0") unless the command line sets them
};

// Called from LLVMFuzzerInitialize. With no input file or corpus folder on the command
// line, adds the build's corpus folder of the harness (made when missing, the build
// seeds copied into it), the committed seeds, the dictionary and the default flags, so
// the harness runs with no arguments from any working folder.
void PrepareArguments(int* argc, char*** argv, const char* seeds, const char* corpus, const char* dict,
                      const Defaults& defaults);
#ifdef KESTREL_FUZZ_SEEDS
inline void UseDefaultCorpus(int* argc, char*** argv, const Defaults& defaults = {}) {
    PrepareArguments(argc, argv, KESTREL_FUZZ_SEEDS, KESTREL_FUZZ_CORPUS, KESTREL_FUZZ_DICT, defaults);
}
#endif

// A file of the build's bin folder (the default images, Radio.INI, the layouts).
QString BinFile(const QString& name);
// The default images of every band as build seeds, each behind `prefix`.
Defaults DefaultImageSeeds(const QByteArray& prefix = QByteArray());

// A file in the run's own scratch folder (removed at exit).
QString ScratchFile(const QString& name);
// Writes `data` to `file`; traps when it cannot (the harness could not test anything).
void WriteScratch(const QString& file, const QByteArray& data);

// A QCoreApplication for harnesses that run an event loop or need the application's
// names; made once.
void EnsureApplication();

// Drops Qt's messages (they would only slow the fuzzer down). With `trapOutsideImage`,
// an access outside the image (which the image refuses with a warning) is a violated
// property: no rule may reach past the 8192 bytes.
void QuietMessages(bool trapOutsideImage);

// Reads the input front to back; past its end every read gives zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    quint8 byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A number 0 .. count-1 (0 when count is 0 or 1).
    int below(int count) { return count > 1 ? byte() % count : 0; }
    bool flag() { return byte() & 1; }
    QByteArray take(size_t n);
    QByteArray rest() { return take(remaining()); }
    size_t remaining() const { return m_size - m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace kestrel::fuzz
