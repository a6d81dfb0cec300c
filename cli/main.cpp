// orvela-convert: the conversion run from the command line, or a filter of standard input.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/progress_line.h"
#include "conversion/encoding_guard.h"
#include "conversion/modes.h"
#include "conversion/run.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kStopped = 1;          // an error stopped the run
constexpr int kNotAllConverted = 1;  // the run completed, but left some files alone
constexpr int kBadUsage = 2;

std::string ReadStandardInput() {
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw std::runtime_error("cannot read standard input");
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orvela;
  const cli::Arguments args = cli::ParseArguments({argv + 1, argv + argc});
  switch (args.action) {
    case cli::Action::kHelp:
      std::cout << cli::kUsage;
      return kCompleted;
    case cli::Action::kBadUsage:
      std::cerr << "orvela-convert: " << args.problem << "\n\n" << cli::kUsage;
      return kBadUsage;
    case cli::Action::kFilter:
    case cli::Action::kConvertFiles:
      break;
  }
  try {
    if (args.action == cli::Action::kFilter) {
      const std::string input = ReadStandardInput();
      if (!args.force)
        if (std::optional<std::string> why = EncodingProblem(input, SourceEncodingOf(args.mode))) {
          std::cerr << "orvela-convert: -: " << *why << '\n';
          return kNotAllConverted;
        }
      if (!WriteAll(STDOUT_FILENO, ApplyMode(args.mode, input, args.mapping)))
        throw std::runtime_error("cannot write standard output");
    } else {
      RunOptions options{.alterCharsetTag = args.alterCharsetTag,
                         .mapping = args.mapping,
                         .checkEncoding = !args.force};
      cli::ProgressLine line([] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
      });
      if (!args.quiet && ::isatty(STDERR_FILENO))
        options.progress = [&](const RunProgress& p) { WriteAll(STDERR_FILENO, line.Update(p)); };
      RunReport report;
      try {
        report = RunConversion(args.files, args.mode, options);
      } catch (...) {
        WriteAll(STDERR_FILENO, line.Clear());
        throw;
      }
      WriteAll(STDERR_FILENO, line.Clear());
      std::cout << CompletionMessage(report) << '\n';
      if (!report.leftAlone.empty()) return kNotAllConverted;
    }
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "orvela-convert: " << e.what() << '\n';
    return kStopped;
  }
  return kCompleted;
}
