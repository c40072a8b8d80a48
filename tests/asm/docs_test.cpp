// The language documents name every error message the assemblers give, and
// their first examples assemble.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "asm/asm_messages.h"
#include "asm/micro_assembler.h"
#include "asm/program_assembler.h"

namespace vesk {
namespace {

std::string Document(const std::string& name) {
  std::ifstream in(std::string(VESK_SOURCE_DIR) + "/docs/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  // "\|" is a bar inside a table cell.
  for (std::size_t at; (at = s.find("\\|")) != std::string::npos;) s.erase(at, 1);
  return s;
}

std::string FirstExample(const std::string& document) {
  const std::size_t begin = document.find("```\n");
  const std::size_t end = document.find("```\n", begin + 4);
  return begin == std::string::npos || end == std::string::npos ? "" : document.substr(begin + 4, end - begin - 4);
}

TEST(LanguageDocuments, ListEveryErrorMessage) {
  const std::string program = Document("program-language.md");
  const std::string micro = Document("micro-program-language.md");
  ASSERT_FALSE(program.empty());
  ASSERT_FALSE(micro.empty());
  for (int c = 0; c < kAsmErrorCodeCount; ++c) {
    const std::string text(AsmErrorTemplate(static_cast<AsmErrorCode>(c)));
    EXPECT_TRUE(program.find("`" + text + "`") != std::string::npos || micro.find("`" + text + "`") != std::string::npos)
        << "not documented: " << text;
  }
}

TEST(LanguageDocuments, ExamplesAssemble) {
  const std::string program = FirstExample(Document("program-language.md"));
  ASSERT_NE(program.find("ORG"), std::string::npos);
  const ProgramAssembly p = AssembleProgram(program);
  EXPECT_TRUE(p.ok()) << AsmErrorLine("program-language.md", p.errors.at(0));
  EXPECT_EQ(p.words[0x22].word, 0xFFFC);  // count: WORD -n
  const std::string micro = FirstExample(Document("micro-program-language.md"));
  const MicroAssembly m = AssembleMicroProgram(micro);
  EXPECT_TRUE(m.ok()) << AsmErrorLine("micro-program-language.md", m.errors.at(0));
  EXPECT_EQ(m.rows[7].word, 0xEF4A);
}

}  // namespace
}  // namespace vesk
