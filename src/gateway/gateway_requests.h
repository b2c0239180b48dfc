// Requests of the web gateway: a web server's client hands in commands through the local
// channel, the queue lstLink holds them, Timer1 works them off one per 10 ms tick, and each
// answer is an HTML file in the register folder announced by the caption of lnkWWW(slot).
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

class Session;

inline constexpr int kLinkTimerInterval = 10;  // milliseconds between two commands

// The register folder: the configured one (OSTRAVEL_REGISTER) when not empty, else
// "register" in the program folder.
std::string RegisterFolderPath(const std::string& programFolder, std::string_view configured);
// Makes folder the register folder of the run and creates it, readable by its owner only,
// when it does not exist yet (an existing folder keeps the permissions it has). False when
// it cannot be created.
bool OpenRegisterFolder(Session& s, const std::string& folder);

// The slot number of a command: its leading number rounded to a 16-bit integer. False for a
// number outside the 16-bit range, which is refused.
bool LinkSlotNumber(std::string_view command, int& slot);

// A command from the channel. Always accepted at once: slot n > 0 queues the command,
// n < 0 only creates the notice labels 1..|n|, n = 0 empties the queue.
void Form_LinkExecute(Session& s, const std::string& command);
// Takes back the command of slot whose field "ID" is id while it waits in the queue, so that
// a client that gives up waiting leaves nothing to be carried out after it answered. False
// when no such command waits: it is being answered, or was answered already.
bool Form_LinkWithdraw(Session& s, int slot, const std::string& id);
// Arms Timer1 with 10 ms when commands wait.
void StartLinkTimer(Session& s);
// One tick: answers the oldest command and sets the notice of its slot.
void Timer1_Timer(Session& s);
// Decodes one command and answers the request; gives the answer file's name and the request's
// "ID" field. A command that writes no answer leaves no answer file of its slot.
void PollLinkRequests(Session& s, const std::string& command, std::string& answerFile,
                      std::string& id);
// Answers a calculation request: runs its line on its memory lines and writes the answer file
// from the template "tolvane.ht_".
void AnswerWebCalc(Session& s, const std::string& fields, const std::string& answerFile);

// Writes the answer file of the command in work (replaced in one step, see runtime/file_io.h).
void WriteAnswerFile(Session& s, const std::string& answerFile, std::string_view page);

// The notice of an answered command: answer file, ID and seconds since midnight, by commas.
std::string LinkNotice(const std::string& answerFile, const std::string& id, double seconds);
// A number as single precision general text (at most 7 significant digits): 45296.52.
std::string SinglePrecisionText(double value);

}  // namespace ostravel
