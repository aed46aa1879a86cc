// tests/data/message_table.txt, the independent transcription of the message
// table the code's texts and the windows' captions are compared with.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace vexa::testing {

struct TableEntry {
  std::string english, russian;
  const std::string& In(int language) const { return language == 1 ? russian : english; }
};

// "array<TAB>number<TAB>English<TAB>Russian", "\n" written as backslash-n,
// lines starting with '#' are comments. table["Captions"][17].
inline std::map<std::string, std::map<int, TableEntry>> ReadTableFile() {
  std::ifstream in(std::string(VEXA_TEST_DATA_DIR) + "/message_table.txt", std::ios::binary);
  EXPECT_TRUE(in) << "cannot open message_table.txt";
  std::map<std::string, std::map<int, TableEntry>> table;
  auto unescape = [](std::string s) {
    for (std::size_t at; (at = s.find("\\n")) != std::string::npos;) s.replace(at, 2, "\n");
    return s;
  };
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string array, number, english, russian;
    std::getline(fields, array, '\t');
    std::getline(fields, number, '\t');
    std::getline(fields, english, '\t');
    std::getline(fields, russian);
    table[array][std::stoi(number)] = {unescape(english), unescape(russian)};
  }
  return table;
}

}  // namespace vexa::testing
