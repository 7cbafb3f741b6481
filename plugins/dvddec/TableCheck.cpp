#include "TableCheck.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "PluginLog.h"

namespace dvddec {
namespace {

constexpr auto kChildTimeout = std::chrono::seconds(30);  // a drive may first spin up
constexpr char kOpened = 'D', kRead = 'R';

void Send(int out, char byte) {
  while (::write(out, &byte, 1) < 0 && errno == EINTR) {
  }
}

// In the child: opens the disc and reads the tables from `first` on, sending
// a byte after each; the video manager's is followed by the title set count.
// Only libdvdread runs here: the parent's other threads may have held any of
// its locks at the fork.
[[noreturn]] void ReadInChild(const std::string& path, int first, int titleSets, int out) {
  SetLogCallback(nullptr);
  dvd_reader_t* disc = DVDOpen2(nullptr, DvdReadLogger(), path.c_str());
  if (!disc) ::_exit(1);
  Send(out, kOpened);
  if (first == 0) {
    ifo_handle_t* vmg = ifoOpen(disc, 0);
    Send(out, kRead);
    Send(out, char(vmg && vmg->vmgi_mat ? vmg->vmgi_mat->vmg_nr_of_title_sets : 0));
    titleSets = vmg && vmg->vmgi_mat ? vmg->vmgi_mat->vmg_nr_of_title_sets : 0;
    first = 1;
  }
  for (int set = first; set <= titleSets; ++set) {
    ifoClose(ifoOpen(disc, set));
    Send(out, kRead);
  }
  ::_exit(0);
}

// What a child sent before it ended (a child that outlives the time-out is
// killed); nothing when no child could be started.
std::optional<std::string> RunChild(const std::string& path, int first, int titleSets) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) ReadInChild(path, first, titleSets, pipe[1]);
  ::close(pipe[1]);
  if (child < 0) {
    ::close(pipe[0]);
    return std::nullopt;
  }
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
  for (char buffer[256];;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready{pipe[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) == 0) break;
    const ssize_t count = ::read(pipe[0], buffer, sizeof buffer);
    if (count > 0) received.append(buffer, size_t(count));
    if (count == 0 || (count < 0 && errno != EINTR)) break;
  }
  ::close(pipe[0]);
  ::kill(child, SIGKILL);
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return received;
}

void MarkDamaged(TableCheck& check, int titleSet) {
  check.tableReadable.push_back(false);
  if (titleSet == 0)
    LogMessage(kLogWarning, "The DVD's title table is damaged beyond reading.");
  else
    LogMessage(kLogWarning, "The tables of title set %d are damaged beyond reading.", titleSet);
}

}  // namespace

TableCheck CheckTables(const std::string& path) {
  TableCheck check;
  int next = 0, titleSets = 0;
  while (next == 0 || next <= titleSets) {
    const auto received = RunChild(path, next, titleSets);
    if (!received) return TableCheck{.checked = false, .discOpens = true, .tableReadable = {}};
    check.discOpens = !received->empty();
    if (!check.discOpens) break;
    size_t at = 1;
    if (next == 0) {
      if (received->size() < 3) {
        MarkDamaged(check, 0);
        break;
      }
      titleSets = static_cast<unsigned char>((*received)[2]);
      check.tableReadable.push_back(true);
      at = 3;
      next = 1;
    }
    for (; at < received->size(); ++at, ++next) check.tableReadable.push_back(true);
    if (next <= titleSets) MarkDamaged(check, next++);
  }
  return check;
}

}  // namespace dvddec
