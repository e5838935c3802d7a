// kestrel-radio-sim: a virtual radio on a pseudo-terminal.
//
// It opens a pseudo-terminal, prints the slave device path as the first line on
// stdout and answers the clone protocol from its own 8192-byte memory, so that
// Kestrel (or kestrel-cli) can read and write "a radio" without any hardware.
// Timing options make it behave like a radio on a 9600-baud cable; fault options
// make it misbehave in the ways real radios and cables do.
//
// Plain C++17 and POSIX on purpose: the pacing wants a simple blocking loop.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int MemorySize = 8192;
constexpr double ByteSeconds = 10.0 / 9600.0; // start bit, 8 data bits, stop bit

volatile sig_atomic_t g_stop = 0;
// --precise: wake-ups on time to the microsecond, at the cost of a busy processor.
bool g_precise = false;
volatile sig_atomic_t g_saveRequested = 0;

void OnStop(int) { g_stop = 1; }
void OnSave(int) { g_saveRequested = 1; }

struct Fault {
    long line = -1; // image line the fault hits; -1 = off
    int fired = 0;
    int passed = 0; // requests of the line let through before the fault fires
};

struct Options {
    std::string image;
    std::string save;
    std::string link;
    std::string log;
    int bandCode = 1;
    unsigned char version[4] = {0x01, 0x00, 0x01, 0x00};
    bool pace = false;
    int turnaroundMs = 0;
    int writeDelayMs = 0;
    int ignoreHandshakes = 0;
    Fault silent, cut, wrongFirst, wrongAddress, drop;
    Fault wrongByte; // acknowledges a written line but keeps a wrong first byte
    int faultTimes = 1; // how often each line fault fires; 0 = every time
    int faultSkip = 0;  // requests of a faulty line answered well before the fault fires
    bool echo = false;
    int junk = 0;
    int latencyMs = 0; // a USB adapter's latency timer between radio and program; 0 = none
    std::vector<unsigned char> strayBefore, strayAfter;
};

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void SleepUntil(double when) {
    timespec ts{};
    ts.tv_sec = time_t(when);
    ts.tv_nsec = long((when - double(ts.tv_sec)) * 1e9);
    if (ts.tv_nsec >= 1000000000L) {
        ts.tv_sec += 1;
        ts.tv_nsec -= 1000000000L;
    }
    if (g_precise) {
        // Sleep to just before the moment, then wait for it awake: a sleeping
        // process wakes some tens of microseconds late, which a benchmark would
        // otherwise charge to the program under test once per byte.
        constexpr double Spin = 300e-6;
        if (when - Now() > Spin)
            SleepUntil(when - Spin);
        while (Now() < when && !g_stop) {
        }
        return;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR && !g_stop) {
    }
}

void SleepMs(int ms) {
    if (ms > 0)
        SleepUntil(Now() + ms / 1000.0);
}

void Usage(FILE* to) {
    std::fputs(
        "Usage: kestrel-radio-sim [OPTIONS]\n"
        "A virtual radio on a pseudo-terminal. Prints the device path on the first line of stdout.\n"
        "\n"
        "  --image FILE.dat          load the radio's 8192-byte memory (default: all bytes 0xFF)\n"
        "  --save FILE.dat           save the memory at exit, on SIGUSR1 and after every end frame\n"
        "  --link PATH               also make PATH a symbolic link to the device\n"
        "  --band-code N             band code of the identification reply (default 1 = 136-174 MHz)\n"
        "  --version A.B C.D         the two version pairs of the identification reply (default 1.0 1.0)\n"
        "  --log FILE                write every frame received as a line of hex bytes\n"
        "timing:\n"
        "  --pace                    take and give bytes at 9600 baud, as a real cable does\n"
        "  --precise                 wake on time to the microsecond, busy-waiting (for benchmarks)\n"
        "  --turnaround MS           wait MS milliseconds before every reply\n"
        "  --write-delay MS          wait MS milliseconds more before acknowledging a written line\n"
        "  --latency-timer MS        deliver replies in bursts, as a USB-serial adapter with a latency timer\n"
        "                            of MS milliseconds does (16 on common FTDI chips)\n"
        "faults:\n"
        "  --ignore-handshakes K     do not answer the first K handshakes\n"
        "  --silent-at-line N        do not answer the request for image line N\n"
        "  --cut-reply-at-line N     send only the first half of the reply for line N\n"
        "  --wrong-first-byte-at-line N  answer line N with a wrong first byte\n"
        "  --wrong-address-at-line N  answer the read of line N with the next line's address and bytes\n"
        "  --drop-at-line N          close the device and exit when line N is requested\n"
        "  --keep-wrong-byte-at-line N  acknowledge a write of line N but keep its first byte with bit 0 flipped\n"
        "  --fault-times K           how often each line fault fires (default 1; 0 = every time)\n"
        "  --fault-skip K            answer the first K requests of a faulty line well (default 0)\n"
        "  --echo                    echo every frame back before answering it\n"
        "  --junk N                  send N junk bytes before every reply\n"
        "  --stray-before HEX        send these bytes (e.g. 57 or 57,00) before every reply\n"
        "  --stray-after HEX         send these bytes right after every reply\n",
        to);
}

bool ParseInt(const char* text, long lo, long hi, long* out) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 0);
    if (errno || *end || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

unsigned char Bcd(long v) { return static_cast<unsigned char>(((v / 10) << 4) | (v % 10)); }

// "57", "57 00", "57,00" or "5700" -> the bytes; false for anything else.
bool ParseHexBytes(const char* text, std::vector<unsigned char>* out) {
    out->clear();
    std::string digits;
    for (const char* p = text; p && *p; ++p) {
        if (*p == ' ' || *p == ',' || *p == ':')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(*p)))
            return false;
        digits += *p;
    }
    if (digits.empty() || digits.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < digits.size(); i += 2)
        out->push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return true;
}

// "12.30" -> 0x12 0x30
bool ParseVersion(const char* text, unsigned char* out) {
    if (!text)
        return false;
    const char* dot = std::strchr(text, '.');
    if (!dot)
        return false;
    const std::string a(text, dot), b(dot + 1);
    long x = 0, y = 0;
    if (!ParseInt(a.c_str(), 0, 99, &x) || !ParseInt(b.c_str(), 0, 99, &y))
        return false;
    out[0] = Bcd(x);
    out[1] = Bcd(y);
    return true;
}

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kestrel-radio-sim: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        auto number = [&](long lo, long hi, long* out) {
            const char* v = value(a.c_str());
            if (!v)
                return false;
            if (!ParseInt(v, lo, hi, out)) {
                std::fprintf(stderr, "kestrel-radio-sim: %s takes a number %ld-%ld, not \"%s\"\n", a.c_str(), lo,
                             hi, v);
                return false;
            }
            return true;
        };
        long n = 0;
        if (a == "-h" || a == "--help") {
            Usage(stdout);
            std::exit(0);
        } else if (a == "--image" || a == "--save" || a == "--link" || a == "--log") {
            const char* v = value(a.c_str());
            if (!v)
                return false;
            (a == "--image" ? o.image : a == "--save" ? o.save : a == "--link" ? o.link : o.log) = v;
        } else if (a == "--band-code") {
            if (!number(0, 255, &n))
                return false;
            o.bandCode = int(n);
        } else if (a == "--version") {
            if (i + 2 >= argc || !ParseVersion(argv[i + 1], o.version) || !ParseVersion(argv[i + 2], o.version + 2)) {
                std::fprintf(stderr, "kestrel-radio-sim: --version takes two pairs such as 1.5 12.30\n");
                return false;
            }
            i += 2;
        } else if (a == "--stray-before" || a == "--stray-after") {
            const char* v = value(a.c_str());
            if (!v)
                return false;
            if (!ParseHexBytes(v, a == "--stray-before" ? &o.strayBefore : &o.strayAfter)) {
                std::fprintf(stderr, "kestrel-radio-sim: %s takes hexadecimal bytes such as 57 or 57,00, not \"%s\"\n",
                             a.c_str(), v);
                return false;
            }
        } else if (a == "--pace") {
            o.pace = true;
        } else if (a == "--precise") {
            g_precise = true;
        } else if (a == "--echo") {
            o.echo = true;
        } else if (a == "--latency-timer") {
            if (!number(0, 1000, &n))
                return false;
            o.latencyMs = int(n);
        } else if (a == "--turnaround" || a == "--write-delay" || a == "--ignore-handshakes" || a == "--junk" ||
                   a == "--fault-times" || a == "--fault-skip") {
            if (!number(0, 100000, &n))
                return false;
            (a == "--turnaround"      ? o.turnaroundMs
             : a == "--write-delay"   ? o.writeDelayMs
             : a == "--junk"          ? o.junk
             : a == "--fault-times"   ? o.faultTimes
             : a == "--fault-skip"    ? o.faultSkip
                                      : o.ignoreHandshakes) = int(n);
        } else if (a == "--silent-at-line" || a == "--cut-reply-at-line" || a == "--wrong-first-byte-at-line" ||
                   a == "--wrong-address-at-line" || a == "--drop-at-line" || a == "--keep-wrong-byte-at-line") {
            if (!number(0, 511, &n))
                return false;
            (a == "--silent-at-line"             ? o.silent
             : a == "--cut-reply-at-line"        ? o.cut
             : a == "--drop-at-line"             ? o.drop
             : a == "--wrong-address-at-line"    ? o.wrongAddress
             : a == "--keep-wrong-byte-at-line" ? o.wrongByte
                                                 : o.wrongFirst)
                .line = n;
        } else {
            std::fprintf(stderr, "kestrel-radio-sim: unknown option \"%s\"\n", a.c_str());
            Usage(stderr);
            return false;
        }
    }
    return true;
}

class Radio {
public:
    explicit Radio(const Options& o) : m_o(o), m_memory(MemorySize, 0xFF) {}

    bool Open() {
        if (!m_o.image.empty() && !LoadImage())
            return false;
        if (!m_o.log.empty()) {
            m_log = std::fopen(m_o.log.c_str(), "w");
            if (!m_log) {
                std::fprintf(stderr, "kestrel-radio-sim: cannot write %s: %s\n", m_o.log.c_str(), std::strerror(errno));
                return false;
            }
        }
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            std::fprintf(stderr, "kestrel-radio-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
            return false;
        }
        const char* name = ptsname(m_master);
        if (!name) {
            std::fprintf(stderr, "kestrel-radio-sim: no device name: %s\n", std::strerror(errno));
            return false;
        }
        m_slaveName = name;
        // Holding the slave open keeps the master readable while no program has the
        // device open (otherwise every read on the master fails until one opens it).
        m_slaveHold = open(name, O_RDWR | O_NOCTTY);
        if (m_slaveHold < 0) {
            std::fprintf(stderr, "kestrel-radio-sim: cannot open %s: %s\n", name, std::strerror(errno));
            return false;
        }
        termios t{};
        if (tcgetattr(m_slaveHold, &t) == 0) {
            cfmakeraw(&t);
            cfsetispeed(&t, B9600);
            cfsetospeed(&t, B9600);
            tcsetattr(m_slaveHold, TCSANOW, &t);
        }
        if (!m_o.link.empty()) {
            struct stat st{};
            if (lstat(m_o.link.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
                unlink(m_o.link.c_str());
            if (symlink(name, m_o.link.c_str()) != 0) {
                std::fprintf(stderr, "kestrel-radio-sim: cannot link %s: %s\n", m_o.link.c_str(), std::strerror(errno));
                return false;
            }
            m_linked = true;
        }
        std::printf("%s\n", name);
        std::fflush(stdout);
        return true;
    }

    // Runs until a signal stops it or a drop fault ends it. Returns the exit status.
    int Run() {
        while (!g_stop && !m_dropped) {
            if (g_saveRequested) {
                g_saveRequested = 0;
                SaveImage();
            }
            pollfd p{m_master, POLLIN, 0};
            // Busy-polled with --precise: a request is seen the moment it is written.
            const int r = poll(&p, 1, g_precise ? 0 : 200);
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                std::fprintf(stderr, "kestrel-radio-sim: poll: %s\n", std::strerror(errno));
                return 1;
            }
            if (r == 0)
                continue;
            unsigned char buf[512];
            const ssize_t n = read(m_master, buf, sizeof buf);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                SleepMs(10); // nobody has the device open
                continue;
            }
            const double now = Now();
            // On a real wire the last byte of this chunk arrives n byte-times after
            // the first one could have started.
            m_inputClock = std::max(now, m_inputClock) + (m_o.pace ? double(n) * ByteSeconds : 0.0);
            m_in.insert(m_in.end(), buf, buf + n);
            while (!m_dropped && TakeFrame()) {
            }
        }
        return 0;
    }

    void Close() {
        if (m_master >= 0)
            SaveImage();
        if (m_log)
            std::fclose(m_log);
        m_log = nullptr;
        if (m_master >= 0)
            close(m_master);
        if (m_slaveHold >= 0)
            close(m_slaveHold);
        m_master = m_slaveHold = -1;
        if (m_linked)
            unlink(m_o.link.c_str());
        m_linked = false;
    }

private:
    bool LoadImage() {
        FILE* f = std::fopen(m_o.image.c_str(), "rb");
        if (!f) {
            std::fprintf(stderr, "kestrel-radio-sim: cannot read %s: %s\n", m_o.image.c_str(), std::strerror(errno));
            return false;
        }
        std::vector<unsigned char> data(MemorySize + 1);
        const size_t n = std::fread(data.data(), 1, data.size(), f);
        std::fclose(f);
        if (n != MemorySize) {
            std::fprintf(stderr, "kestrel-radio-sim: %s is not an 8192-byte image\n", m_o.image.c_str());
            return false;
        }
        data.resize(MemorySize);
        m_memory = data;
        return true;
    }

    void SaveImage() {
        if (m_o.save.empty())
            return;
        const std::string tmp = m_o.save + ".tmp";
        FILE* f = std::fopen(tmp.c_str(), "wb");
        bool ok = f && std::fwrite(m_memory.data(), 1, m_memory.size(), f) == m_memory.size();
        if (f)
            ok = (std::fclose(f) == 0) && ok;
        if (!ok || std::rename(tmp.c_str(), m_o.save.c_str()) != 0) {
            std::fprintf(stderr, "kestrel-radio-sim: cannot save %s: %s\n", m_o.save.c_str(), std::strerror(errno));
            std::remove(tmp.c_str());
        }
    }

    void Log(const unsigned char* bytes, size_t n, const char* prefix = "") {
        if (!m_log)
            return;
        std::fputs(prefix, m_log);
        for (size_t i = 0; i < n; ++i)
            std::fprintf(m_log, i ? " %02X" : "%02X", bytes[i]);
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }

    void Note(const char* format, ...) {
        if (!m_log)
            return;
        std::fputs("# ", m_log);
        va_list ap;
        va_start(ap, format);
        std::vfprintf(m_log, format, ap);
        va_end(ap);
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }

    bool Fires(Fault& f, long line) {
        if (f.line != line)
            return false;
        if (f.passed < m_o.faultSkip) {
            ++f.passed;
            return false;
        }
        if (m_o.faultTimes != 0 && f.fired >= m_o.faultTimes)
            return false;
        ++f.fired;
        return true;
    }

    void Skip(size_t n) {
        Log(m_in.data(), n, "# skipped ");
        m_in.erase(m_in.begin(), m_in.begin() + long(n));
    }

    // Takes one complete frame off the input and answers it. False when more bytes
    // are needed.
    bool TakeFrame() {
        if (m_in.empty())
            return false;
        static const unsigned char Handshake[] = {0x02, 'P', 'R', 'O', 'G', 'R', 'A'};
        const unsigned char first = m_in[0];
        size_t need = 0;
        switch (first) {
        case 0x02: {
            const size_t have = std::min(m_in.size(), sizeof Handshake);
            if (std::memcmp(m_in.data(), Handshake, have) != 0) {
                Skip(1);
                return true;
            }
            need = sizeof Handshake;
            break;
        }
        case 'M':
            if (m_in.size() >= 2 && m_in[1] != 0x02) {
                Skip(1);
                return true;
            }
            need = 2;
            break;
        case 'R':
            need = 4;
            break;
        case 'W':
            // The data part travels in whole pairs of bytes: an odd length carries
            // one padding byte (the 3-byte band frame is 8 bytes long).
            need = m_in.size() >= 4 ? 4 + ((m_in[3] + 1u) & ~1u) : 4;
            break;
        case 'E':
            need = 1;
            break;
        default:
            Skip(1);
            return true;
        }
        if (m_in.size() < need)
            return false;
        std::vector<unsigned char> frame(m_in.begin(), m_in.begin() + long(need));
        m_in.erase(m_in.begin(), m_in.begin() + long(need));
        Log(frame.data(), frame.size());
        if (m_o.echo) {
            // A cable echo comes back while the frame is still going out; without
            // pacing it travels together with the reply.
            if (m_o.pace)
                WriteAll(frame.data(), frame.size());
            else
                m_echo = frame;
        }
        Answer(frame);
        if (!m_echo.empty()) {
            WriteAll(m_echo.data(), m_echo.size());
            m_echo.clear();
        }
        return true;
    }

    void Answer(const std::vector<unsigned char>& f) {
        switch (f[0]) {
        case 0x02:
            if (m_handshakes++ < m_o.ignoreHandshakes) {
                Note("handshake %d ignored", m_handshakes);
                return;
            }
            m_programming = true;
            Reply({0x06}, false);
            return;
        case 'M':
            if (!m_programming)
                return;
            Reply({0x46, static_cast<unsigned char>(m_o.bandCode), m_o.version[0], m_o.version[1], 0x00,
                   m_o.version[2], m_o.version[3]},
                  false);
            return;
        case 'E':
            m_programming = false;
            SaveImage();
            return;
        default:
            break;
        }
        if (!m_programming)
            return;
        const int address = ((f[1] << 8) | f[2]) & (MemorySize - 1);
        const int length = f[3];
        const long line = address / 16;
        if (Fires(m_o.drop, line)) {
            Note("dropped at line %ld", line);
            m_dropped = true;
            return;
        }
        if (Fires(m_o.silent, line)) {
            Note("silent at line %ld", line);
            return;
        }
        const bool wrong = Fires(m_o.wrongFirst, line);
        const bool cut = Fires(m_o.cut, line);
        std::vector<unsigned char> reply;
        if (f[0] == 'R') {
            // A reply meant for another request: the next line's address and bytes.
            const int from = Fires(m_o.wrongAddress, line) ? (address + 16) & (MemorySize - 1) : address;
            if (from != address)
                Note("wrong address at line %ld", line);
            reply = {wrong ? static_cast<unsigned char>(0x58) : static_cast<unsigned char>(0x57),
                     static_cast<unsigned char>(from >> 8), static_cast<unsigned char>(from & 0xFF), f[3]};
            for (int i = 0; i < length; ++i)
                reply.push_back(m_memory[size_t((from + i) & (MemorySize - 1))]);
        } else {
            for (int i = 0; i < length; ++i)
                m_memory[size_t((address + i) & (MemorySize - 1))] = f[size_t(4 + i)];
            if (length > 0 && Fires(m_o.wrongByte, line)) {
                m_memory[size_t(address)] ^= 0x01;
                Note("kept a wrong byte at 0x%04X", address);
            }
            reply = {wrong ? static_cast<unsigned char>(0x15) : static_cast<unsigned char>(0x06)};
        }
        if (cut) {
            Note("reply cut at line %ld", line);
            reply.resize(reply.size() / 2);
        }
        if (wrong)
            Note("wrong first byte at line %ld", line);
        Reply(reply, f[0] == 'W');
    }

    void Reply(std::vector<unsigned char> bytes, bool written) {
        // The reply is due a turnaround (and, for a written line, the write delay)
        // after the request's last byte has arrived. With pacing every byte is then
        // due one byte-time after the one before; a late wake-up of this process
        // is made up for rather than charged to the program under test.
        const double delay = (m_o.turnaroundMs + (written ? m_o.writeDelayMs : 0)) / 1000.0;
        const double due = (m_o.pace ? m_inputClock : Now()) + delay;
        SleepUntil(due);
        std::vector<unsigned char> out;
        out.swap(m_echo);
        for (int i = 0; i < m_o.junk; ++i)
            out.push_back(static_cast<unsigned char>(0x11 + 37 * i));
        out.insert(out.end(), m_o.strayBefore.begin(), m_o.strayBefore.end());
        out.insert(out.end(), bytes.begin(), bytes.end());
        out.insert(out.end(), m_o.strayAfter.begin(), m_o.strayAfter.end());
        if (m_o.latencyMs > 0) {
            DeliverInBursts(out, due);
            return;
        }
        if (!m_o.pace) {
            WriteAll(out.data(), out.size());
            return;
        }
        double clock = due;
        for (unsigned char b : out) {
            clock += ByteSeconds;
            SleepUntil(clock);
            WriteAll(&b, 1);
        }
    }

    // A USB-serial adapter holds what comes from the radio until its latency timer,
    // started by the first byte it holds, runs out, or until its buffer is full;
    // then it hands everything held to the program at once.
    void DeliverInBursts(const std::vector<unsigned char>& out, double due) {
        constexpr size_t BufferBytes = 62;
        const double latency = m_o.latencyMs / 1000.0;
        // When byte i has come off the radio's wire into the adapter.
        auto arrival = [&](size_t i) { return m_o.pace ? due + double(i + 1) * ByteSeconds : due; };
        size_t start = 0;
        while (start < out.size()) {
            const double flushAt = arrival(start) + latency;
            size_t end = start;
            while (end < out.size() && end - start < BufferBytes && arrival(end) <= flushAt)
                ++end;
            SleepUntil(end - start == BufferBytes ? arrival(end - 1) : flushAt);
            WriteAll(out.data() + start, end - start);
            start = end;
        }
    }

    void WriteAll(const unsigned char* p, size_t n) {
        while (n > 0) {
            const ssize_t w = write(m_master, p, n);
            if (w < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    SleepMs(1);
                    continue;
                }
                return;
            }
            p += w;
            n -= size_t(w);
        }
    }

    Options m_o;
    std::vector<unsigned char> m_memory;
    std::vector<unsigned char> m_in;
    std::vector<unsigned char> m_echo; // echo waiting to go out with the reply
    std::string m_slaveName;
    FILE* m_log = nullptr;
    int m_master = -1;
    int m_slaveHold = -1;
    bool m_linked = false;
    bool m_programming = false;
    bool m_dropped = false;
    int m_handshakes = 0;
    double m_inputClock = 0;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArgs(argc, argv, options))
        return 1;
    if (g_precise)
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    struct sigaction sa{};
    sa.sa_handler = OnStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    sa.sa_handler = OnSave;
    sigaction(SIGUSR1, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Radio radio(options);
    if (!radio.Open()) {
        radio.Close();
        return 2;
    }
    const int status = radio.Run();
    radio.Close();
    return status;
}
