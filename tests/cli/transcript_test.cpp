// The program run as a person runs it, from transcripts: each file of
// tests/cli/transcripts/ is a scratch folder's story, the commands typed and
// what each must answer, line for line. Beside what a transcript says, every
// run is held to what every command promises: nothing in the scratch folder
// is created, replaced, resized or touched but the files the transcript
// names as written into $OUT, which is emptied after each run.
//
// A transcript line is one of:
//   # ...                     a comment (blank lines too)
//   demo WORDS                `zelmora db demo $DB WORDS`, which must succeed
//   write PATH TEXT           a file holding TEXT
//   size PATH BYTES           a file of that size (sparse)
//   fifo PATH | socket PATH | mkdir PATH | device PATH MAJOR MINOR
//   symlink TARGET PATH | link TARGET PATH | copy FROM TO
//   sql DATABASE STATEMENT    a statement run on a SQLite file
//   < PATH                    standard input of the next run
//   $ WORDS                   a run of zelmora with these words
//   ! TEXT                    the next line of its standard error
//   > TEXT                    the next line of its standard output (">" alone: an empty one)
//   >*                        standard output that is not empty, unchecked
//   + NAME                    a file the run writes into $OUT
//   => CODE                   its exit status
// Words are split at blanks; "..." keeps blanks; \n \t \r \\ \" and \xHH
// escape; (N*TEXT) is TEXT N times; $DIR (the scratch folder),
// $DB ($DIR/demo.db) and $OUT ($DIR/out) are replaced, in expected lines too.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "support/golden.h"
#include "support/run_zelmora.h"

namespace zelmora::testing {
namespace {

namespace fs = std::filesystem;

class Transcript {
 public:
  Transcript() : vars_{{"DIR", dir_.path()}, {"DB", dir_ / "demo.db"}, {"OUT", dir_ / "out"}} {
    fs::create_directory(dir_ / "out");
  }

  void Run(const std::string& name) {
    std::istringstream lines(TestFile("cli/transcripts/" + name));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      SCOPED_TRACE(name + ":" + std::to_string(number) + ": " + line.substr(0, 200));
      if (!Expectation(line)) {
        Finish();
        if (!line.empty() && line[0] != '#') Step(line, number);
      }
    }
    Finish();
  }

 private:
  // A file's identity and state, which a run must leave as they were.
  using State = std::tuple<ino_t, mode_t, off_t, int64_t>;

  std::map<std::string, State> Snapshot() const {
    std::map<std::string, State> states;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
      struct stat info {};
      if (lstat(entry.path().c_str(), &info) != 0) continue;
      // A folder's time changes with what is written into it: its entries are compared instead.
      const int64_t time = S_ISDIR(info.st_mode) ? 0 : info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
      states[entry.path().string()] = {info.st_ino, info.st_mode, S_ISDIR(info.st_mode) ? 0 : info.st_size, time};
    }
    return states;
  }

  std::string Expand(std::string text) const {
    for (const auto& [name, value] : vars_) {
      for (size_t at = 0; (at = text.find("$" + name, at)) != std::string::npos; at += value.size()) {
        text.replace(at, name.size() + 1, value);
      }
    }
    return text;
  }

  // The escapes of `text`: \n \t \r \xHH, and any other character after a backslash as itself.
  static std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\\' || i + 1 == text.size()) {
        out += text[i];
        continue;
      }
      const char e = text[++i];
      if (e == 'x') {
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
      } else {
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
      }
    }
    return out;
  }

  std::vector<std::string> Words(const std::string& line) const {
    std::vector<std::string> words;
    std::string raw;
    bool quoted = false, any = false;
    auto end = [&] {
      if (any) words.push_back(Expand(Unescape(raw)));
      raw.clear();
      any = false;
    };
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      const size_t star = c == '(' ? line.find_first_not_of("0123456789", i + 1) : 0;
      if (c == ' ' && !quoted) {
        end();
      } else if (c == '\\' && i + 1 < line.size()) {
        raw += line.substr(i++, 2);  // unescaped with the whole word
        any = true;
      } else if (c == '"') {
        quoted = !quoted;
        any = true;
      } else if (c == '(' && star > i + 1 && star < line.size() && line[star] == '*') {
        // (N*TEXT): TEXT N times.
        const size_t close = line.find(')', star);
        const std::string text = line.substr(star + 1, close - star - 1);
        for (unsigned long n = std::stoul(line.substr(i + 1, star - i - 1)); n > 0; --n) raw += text;
        any = true;
        i = close;
      } else {
        raw += c;
        any = true;
      }
    }
    end();
    return words;
  }

  bool Expectation(const std::string& line) {
    if (!running_) return false;
    if (line.starts_with("! ")) err_ += Expand(line.substr(2)) + "\n";
    else if (line == ">*") anyOutput_ = true;
    else if (line == ">") out_ += "\n";
    else if (line.starts_with("> ")) out_ += Expand(line.substr(2)) + "\n";
    else if (line.starts_with("+ ")) written_.push_back(dir_ / ("out/" + line.substr(2)));
    else if (line.starts_with("=> ")) code_ = std::stoi(line.substr(3));
    else return false;
    return true;
  }

  void Step(const std::string& line, int number) {
    if (line == "$" || line.starts_with("$ ")) {
      running_ = true;
      words_ = Words(line.substr(1));
      shown_ = std::to_string(number) + ": " + line.substr(0, 200);
      before_ = Snapshot();
      return;
    }
    const std::vector<std::string> w = Words(line);
    const std::string& verb = w.at(0);
    if (verb == "demo") {
      std::vector<std::string> args{"db", "demo", vars_.at("DB")};
      args.insert(args.end(), w.begin() + 1, w.end());
      const Outcome made = RunZelmora(args);
      ASSERT_EQ(made.code, 0) << made.err;
    } else if (verb == "<") {
      input_ = w.at(1);
    } else if (verb == "write") {
      std::ofstream(w.at(1), std::ios::binary) << (w.size() > 2 ? w[2] : "");
    } else if (verb == "size") {
      std::ofstream{w.at(1)};
      ASSERT_EQ(truncate(w[1].c_str(), std::stoll(w.at(2))), 0);
    } else if (verb == "fifo") {
      ASSERT_EQ(mkfifo(w.at(1).c_str(), 0644), 0);
    } else if (verb == "mkdir") {
      ASSERT_EQ(mkdir(w.at(1).c_str(), 0755), 0);
    } else if (verb == "device") {
      ASSERT_EQ(mknod(w.at(1).c_str(), S_IFCHR | 0666, makedev(std::stoi(w.at(2)), std::stoi(w.at(3)))), 0)
          << "mknod needs root";
    } else if (verb == "symlink") {
      ASSERT_EQ(symlink(w.at(1).c_str(), w.at(2).c_str()), 0);
    } else if (verb == "link") {
      ASSERT_EQ(link(w.at(1).c_str(), w.at(2).c_str()), 0);
    } else if (verb == "copy") {
      fs::copy_file(w.at(1), w.at(2));
    } else if (verb == "socket") {
      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      ASSERT_LT(w.at(1).size(), sizeof address.sun_path);
      std::strcpy(address.sun_path, w[1].c_str());
      ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
      close(fd);
    } else if (verb == "sql") {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(w.at(1).c_str(), &db), SQLITE_OK);
      const int rc = sqlite3_exec(db, w.at(2).c_str(), nullptr, nullptr, nullptr);
      sqlite3_close(db);
      ASSERT_EQ(rc, SQLITE_OK);
    } else {
      FAIL() << "not a transcript line";
    }
  }

  // Runs the pending command and holds it to what the transcript says.
  void Finish() {
    if (!running_) return;
    running_ = false;
    SCOPED_TRACE(shown_);
    const Outcome outcome = RunZelmora(words_, input_);
    EXPECT_EQ(outcome.code, code_);
    EXPECT_SAME_TEXT(err_, outcome.err);
    if (anyOutput_) {
      EXPECT_NE(outcome.out, "");
    } else {
      EXPECT_SAME_TEXT(out_, outcome.out);
    }
    std::map<std::string, State> after = Snapshot();
    for (const std::string& path : written_) {
      EXPECT_EQ(after.erase(path), 1u) << path << " was not written";
    }
    for (const auto& [path, state] : before_) {
      auto it = after.find(path);
      if (it == after.end()) {
        ADD_FAILURE() << path << " was removed";
      } else {
        EXPECT_TRUE(it->second == state) << path << " was replaced or changed";
        after.erase(it);
      }
    }
    for (const auto& [path, state] : after) ADD_FAILURE() << path << " was left behind";
    fs::remove_all(dir_ / "out");
    fs::create_directory(dir_ / "out");
    err_.clear();
    out_.clear();
    written_.clear();
    input_.clear();
    anyOutput_ = false;
    code_ = -2;
  }

  TempFolder dir_;
  std::map<std::string, std::string> vars_;
  bool running_ = false;
  std::vector<std::string> words_;
  std::string shown_, input_, err_, out_;
  std::vector<std::string> written_;
  bool anyOutput_ = false;
  int code_ = -2;
  std::map<std::string, State> before_;
};

class Transcripts : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcripts, EveryRunAnswersAsWritten) { Transcript().Run(GetParam()); }

std::vector<std::string> TranscriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ZELMORA_SOURCE_DIR "/tests/cli/transcripts")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cli, Transcripts, ::testing::ValuesIn(TranscriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param.substr(0, info.param.find('.'));
                         });

}  // namespace
}  // namespace zelmora::testing
