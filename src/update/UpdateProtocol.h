#pragma once

// The text protocol between Corvane and its firmware-update program Tessaly, over one local TCP connection:
// Corvane listens, Tessaly connects and proves itself with its first line, Corvane sends one job line, Tessaly
// answers with status messages until one end message.
//
//   proof line   "token:" T "\r\n"                  T: the one-time token Corvane wrote into the file it named
//                                                   with "-token-file" when it started Tessaly (32 hex digits);
//                                                   a connection whose first line is anything else gets no job
//
//   job line     model ";" language ";" url        Latin-1, no terminator; the url may be empty (line ends in
//                                                   ";") and may itself hold ";" (it is the rest of the line)
//   progress     "value:" V "\r\n" "totle:" T "\r\n"  (Nordic and Hollis models; a Hollis total is 100)
//                V "\r\n" T "\r\n"                      (other models: Corvane shows no progress for them)
//   start        "updatestart"                       (Nordic and Hollis models, after the library took the job)
//   ends         "updateend"                         finished (result 0)
//                "value:0\r\ntotle:successed update\r\n"   the Nordic success (result 0)
//                "download fail"                     the firmware could not be downloaded (result 3)
//                "initFwDevice error"                any failure (result 2)
//   echo         "1\r\n" job "\r\n"                  the received job, only logged by Corvane
//
// There is no framing: each arrival of data is read as one whole message. Both sides are built on the
// functions here, fed with bytes, so they are tested without sockets.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace UpdateProtocol {

// The one port of the protocol, on 127.0.0.1 only.
constexpr quint16 kPort = 6666;
// The port in use: kPort, except in test runs (CORVANE_TEST set), where CORVANE_UPDATE_PORT may name another,
// so that checkouts tested side by side on one machine do not meet on one port.
quint16 port();

// Results of an update as Corvane reports them to its page.
enum Result { NoResult = -1, Finished = 0, Failed = 2, DownloadFailed = 3 };

// Texts of the status pairs that Tessaly and the library use.
inline const char* const kUpdateStart = "updatestart";
inline const char* const kUpdateEnd = "updateend";
inline const char* const kDownloadFail = "download fail";
inline const char* const kInitError = "initFwDevice error";
inline const char* const kNordicEnd = "farrantupdateend";
inline const char* const kNordicSuccess = "successed update";
inline const char* const kHollisFinish = "updateFinish";

// --- the proof --------------------------------------------------------------------------------------------

// The argument before the token file's path.
inline const char* const kTokenFileArgument = "-token-file";
// The longest proof line read, its line end included.
constexpr int kMaxProofLine = 64;

// A new token: 32 hex digits from the system's random source.
QByteArray newToken();
QByteArray proofLine(const QByteArray& token);
// True when bytes start with a whole proof line of exactly this token (compared in constant time).
bool provesToken(const QByteArray& bytes, const QByteArray& token);
// Writes a new token into a file only this user can read (in the runtime folder when there is one) and returns
// its path, or an empty string when that failed.
QString writeTokenFile(const QByteArray& token);
// Reads the token of such a file (at most kMaxProofLine bytes) and removes the file: it is good for one run.
QByteArray takeTokenFile(const QString& path);

// --- the job line -----------------------------------------------------------------------------------------

QByteArray jobLine(const QString& model, const QString& language, const QString& url);

struct Job
{
    QString model;
    QString language;   // empty when the line carries none
    QString url;        // empty: flash from the local firmware files
    bool malformed = false;   // fewer than two fields
};

// Fields are separated by ";" and empty ones are skipped; the url is everything after the language's ";".
Job parseJob(const QByteArray& bytes);

// --- Tessaly's messages -----------------------------------------------------------------------------------

// How Tessaly words its messages for a model: models of the Nordic list, of the Hollis list, or of neither.
enum class ModelClass { Neither, Nordic, Hollis };

// A progress report of the library (value of total); never an end message.
QByteArray progressMessage(ModelClass modelClass, int value, int total);
// A result or an event (code, text): the library's results, Tessaly's own "updatestart", "download fail",
// "initFwDevice error" and the echo. Empty when nothing goes out for it. A failure (code 2) of any model goes
// out as "initFwDevice error".
QByteArray statusMessage(ModelClass modelClass, int code, const QString& text);

// --- Corvane's reading ------------------------------------------------------------------------------------

// The result a message text (line ends removed) ends the update with, or NoResult.
Result endResult(const QString& text);

// Reads the status messages of one update. Position and total carry from one message to the next.
class StatusReader
{
public:
    struct Reading
    {
        QList<QPair<int, int>> progress;   // every (position, total) to report, in order
        Result result = NoResult;
        QString text;                      // the message with its line ends removed
    };

    // An empty read gives an empty reading (no text, no progress, no result).
    Reading read(const QByteArray& bytes);

    int position() const { return m_position; }
    int total() const { return m_total; }

private:
    int m_position = 0;
    int m_total = 0;
};

} // namespace UpdateProtocol
