// Every key of the board check's answer is in a table of
// docs/INTEGRATION.md, the document says which keys repeat, and the answer's
// table names each key once: a reader of another driver is written from that
// document.
#include "common/BoardStatus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace {

struct Document {
    // The `quoted` names in the first cell of every table row.
    std::set<std::string> firstCellNames;
    // The line that says which keys repeat.
    std::string repeatLine;
};

Document ReadDocument()
{
    std::ifstream in(std::string(BRELVIN_SOURCE_DIR) + "/docs/INTEGRATION.md");
    Document document;
    std::set<std::string>& names = document.firstCellNames;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("A key may repeat", 0) == 0) document.repeatLine = line;
        if (line.rfind("| `", 0) != 0) continue;
        const std::string cell = line.substr(0, line.find('|', 1));
        for (std::size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open + 1)) {
            const std::size_t close = cell.find('`', open + 1);
            if (close == std::string::npos) break;
            names.insert(cell.substr(open + 1, close - open - 1));
            open = close;
        }
    }
    return document;
}

TEST(BoardStatusDocument, EveryKeyIsDocumentedAndNamedOnce)
{
    const Document document = ReadDocument();
    ASSERT_GT(document.firstCellNames.size(), 30u) << "docs/INTEGRATION.md not found";
    std::set<std::string> keys;
    for (const common::StatusField& field : common::BoardStatusFields()) {
        EXPECT_TRUE(keys.insert(field.key).second) << field.key << " twice in the table";
        EXPECT_EQ(document.firstCellNames.count(field.key), 1u) << field.key << " is not in docs/INTEGRATION.md";
        const bool saidToRepeat = document.repeatLine.find(std::string("`") + field.key + "`") != std::string::npos;
        EXPECT_EQ(field.format == common::StatusFormat::Repeated, saidToRepeat) << field.key;
    }
}

} // namespace
