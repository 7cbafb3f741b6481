#include "TableCheck.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
    titleSets = vmg && vmg->vmgi_mat ? std::min<int>(vmg->vmgi_mat->vmg_nr_of_title_sets, 255) : 0;
    if (vmg) ifoClose(vmg);
    Send(out, kRead);
    Send(out, char(titleSets));
    first = 1;
  }
  // Closing is part of the check: it frees what reading built.
  for (int set = first; set <= titleSets; ++set) {
    if (ifo_handle_t* ifo = ifoOpen(disc, set)) ifoClose(ifo);
    Send(out, kRead);
  }
  ::_exit(0);
}

// Everything written to `input` until its writer closes it or the time-out passes.
std::string ReadUntilClosed(int input) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + kChildTimeout;
  std::string received;
  char buffer[256];
  while (Clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd ready{input, POLLIN, 0};
    const int polled = ::poll(&ready, 1, int(left.count()) + 1);
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) break;
    const ssize_t count = ::read(input, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    received.append(buffer, size_t(count));
  }
  return received;
}

// What a child sent before it ended (a child that outlives the time-out is
// killed); nothing when no child could be started.
std::optional<std::string> RunChild(const std::string& path, int first, int titleSets) {
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) ReadInChild(path, first, titleSets, pipe[1]);
  ::close(pipe[1]);
  const std::string received = child > 0 ? ReadUntilClosed(pipe[0]) : std::string();
  ::close(pipe[0]);
  if (child < 0) return std::nullopt;
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
