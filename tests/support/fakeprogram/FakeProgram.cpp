// One stand-in for every outside program the updaters start: copied under the expected name ("Flintor.exe",
// "nrfutil.exe", a per-model update program) and driven by the script file beside the copy, named after it
// with ".script" appended. Every run first writes "<copy>.run": the working folder and the arguments, one a
// line ("cwd=...", "arg=..."), so tests can see how it was started.
//
// Script lines (one command each; "#" starts a comment):
//   print TEXT          TEXT and "\r\n" on standard output, flushed
//   printraw TEXT       TEXT with \r, \n and \\ unescaped, in one write, flushed
//   error TEXT          TEXT and "\r\n" on standard error
//   sleep MS            waits
//   expect-args A B ... the arguments must be exactly these (else exit 64)
//   expect-file PATH    PATH (relative to the working folder) must exist (else exit 65)
//   pipe B0 B1 ...      one message of these byte values to the progress pipe (connects on first use)
//   pipe-size N         one message of N zero bytes (larger than the reader takes: a failed read)
//   pipe-close          closes the pipe connection
//   tcp-connect         connects to the local update port (127.0.0.1, CORVANE_UPDATE_PORT or 6666; else exit 68)
//   tcp-prove [TOKEN]   the update program's first line: "token:" and the token of the file named after
//                       "-token-file" among the arguments (or TOKEN), then "\r\n"
//   tcp-read            one read of what the peer sent (up to 4096 bytes, 5 s), appended to "<copy>.received"
//   tcp-send TEXT       TEXT with \r, \n and \\ unescaped, in one write
//   tcp-close           closes the connection
//   crash               ends by a signal (SIGSEGV)
//   exit N              ends with exit code N
// Without an exit line the program ends with 0.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

int g_pipe = -1;
int g_tcp = -1;

bool connectTcp()
{
    const char* chosen = std::getenv("CORVANE_UPDATE_PORT");
    const int port = chosen && std::atoi(chosen) > 0 ? std::atoi(chosen) : 6666;
    g_tcp = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (g_tcp < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(g_tcp, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool connectPipe()
{
    if (g_pipe >= 0)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime)
        return false;
    const std::string path = std::string(runtime) + "/Quor_Named_Pipe";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::strcpy(address.sun_path, path.c_str());
    g_pipe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (g_pipe < 0)
        return false;
    // The updater may still be setting its end up: try for a while.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::connect(g_pipe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return true;
        ::usleep(10000);
    }
    ::close(g_pipe);
    g_pipe = -1;
    return false;
}

void writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN);
    const std::string self = argv[0];
    {
        std::ofstream run(self + ".run");
        char cwd[4096] = {};
        if (::getcwd(cwd, sizeof cwd))
            run << "cwd=" << cwd << "\n";
        for (int i = 1; i < argc; ++i)
            run << "arg=" << argv[i] << "\n";
    }

    std::ifstream script(self + ".script");
    std::string line;
    while (std::getline(script, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string command;
        words >> command;
        std::string rest;
        std::getline(words, rest);
        if (!rest.empty() && rest[0] == ' ')
            rest.erase(0, 1);

        if (command == "print") {
            writeAll(STDOUT_FILENO, rest + "\r\n");
        } else if (command == "printraw") {
            writeAll(STDOUT_FILENO, unescape(rest));
        } else if (command == "error") {
            writeAll(STDERR_FILENO, rest + "\r\n");
        } else if (command == "sleep") {
            ::usleep(useconds_t(std::atoi(rest.c_str())) * 1000);
        } else if (command == "expect-args") {
            std::istringstream expected(rest);
            std::vector<std::string> want;
            std::string word;
            while (expected >> word)
                want.push_back(word);
            std::vector<std::string> got(argv + 1, argv + argc);
            if (want != got)
                return 64;
        } else if (command == "expect-file") {
            struct stat st;
            if (::stat(rest.c_str(), &st) != 0)
                return 65;
        } else if (command == "pipe") {
            if (!connectPipe())
                return 66;
            std::istringstream values(rest);
            std::string message;
            int value;
            while (values >> value)
                message += char(value & 0xFF);
            if (::send(g_pipe, message.data(), message.size(), 0) < 0)
                return 67;
        } else if (command == "pipe-size") {
            if (!connectPipe())
                return 66;
            const std::string message(size_t(std::atoi(rest.c_str())), '\0');
            if (::send(g_pipe, message.data(), message.size(), 0) < 0)
                return 67;
        } else if (command == "pipe-close") {
            if (g_pipe >= 0)
                ::close(g_pipe);
            g_pipe = -1;
        } else if (command == "tcp-connect") {
            if (!connectTcp())
                return 68;
        } else if (command == "tcp-prove") {
            std::string token = rest;
            for (int i = 1; token.empty() && i + 1 < argc; ++i) {
                if (std::string(argv[i]) == "-token-file") {
                    std::ifstream file(argv[i + 1]);
                    std::getline(file, token);
                }
            }
            writeAll(g_tcp, "token:" + token + "\r\n");
        } else if (command == "tcp-read") {
            pollfd ready{g_tcp, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (::poll(&ready, 1, 5000) == 1)
                n = ::read(g_tcp, buffer, sizeof buffer);
            std::ofstream received(self + ".received", std::ios::app);
            if (n > 0)
                received.write(buffer, n);
        } else if (command == "tcp-send") {
            writeAll(g_tcp, unescape(rest));
        } else if (command == "tcp-close") {
            if (g_tcp >= 0)
                ::close(g_tcp);
            g_tcp = -1;
        } else if (command == "crash") {
            std::signal(SIGSEGV, SIG_DFL);
            std::raise(SIGSEGV);
        } else if (command == "exit") {
            return std::atoi(rest.c_str());
        }
    }
    return 0;
}
