#include "autofill.h"
#include "field_catalogue.h"

#include <gtest/gtest.h>

TEST(AutoFill, LineRules) {
    const std::pair<std::string, std::string> cases[] = {
        {"Poetry\r*Title\rDune\r", "sty:Poetry|tit:Dune|"},
        {"*tItLe\rA1a\r*AUThors\rB1b\rLoc*\rC1c\r*STYLE notes\rD1d\r*mYs\rE1e\r",
         "tit:A1a|aut:B1b|loc:C1c|sty:D1d|mys:E1e|"},
        {"*Tit\r*Xyz\rDune\r*St\rEmma\r", "tit:Dune|tit:Emma|"}, // no key: the list stays
        {"ab\rabc\r  x\r\r", "sty:abc|sty:  x|"},
        {"Dune # a comment\r#\r*Aut # authors\rHerbert\r", "aut:Herbert|"},
        {"Dune\nEmma\n", ""},
        {"Dune\r\nEm\nma\r\nLast", "sty:Dune|sty:Emma|"},
        {std::string("\x01\0\0\0\rA\0bc\r", 10), "sty:Abc|"}, // NUL bytes count for nothing
        {std::string(700, 'x') + "\r", "sty:" + std::string(599, 'x') + "|"}};
    for (const auto& [text, expected] : cases) {
        AutoFillReader reader;
        std::string entries; // "key:entry|" each
        for (char byte : text)
            if (ReadAutoFillByte(reader, byte))
                entries += fieldCatalogue[AutoFillField(reader.list)].autoFillKey +
                           (":" + std::string(reader.line)) + "|";
        EXPECT_EQ(entries, expected) << text;
    }
}
