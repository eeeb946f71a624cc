#pragma once
// Tricky strings and settings files with the requests programs make of them.
// The Windows test runs every request through the real profile functions and
// the portable reader and requires the same answer; the native tests pin the
// answers that matter to the suite.
#include <string>
#include <vector>

namespace corpus {

struct Request {
    std::string section;
    std::string key;
};

struct Case {
    std::string name;
    std::string text;
    std::vector<Request> requests;
};

inline std::string Repeat(char c, std::size_t n)
{
    return std::string(n, c);
}

inline std::vector<Case> Cases()
{
    const std::vector<Request> common = {
        {"String", "IDS_CONNECTCAP"},
        {"String", "IDS_CONNECTCAP   "},
        {"string", "ids_connectcap"},
        {"  String  ", "  IDS_CONNECTCAP"},
        {"String", "IDS_SERRUNNING"},
        {"String", "Missing"},
        {"Nowhere", "IDS_CONNECTCAP"},
        {"String", ""},
        {"", "orphan"},
        {"String", "; comment"},
        {"String", ";comment"},
        {"String", "quoted"},
        {"String", "single"},
        {"String", "half"},
        {"String", "empty"},
        {"String", "novalue"},
        {"String", "eq"},
        {"String", "spaced"},
        {"Second", "k"},
        {"String", "dup"},
        {"String", "late"},
        {"String", "long"},
        {"coordinate", "wdot"},
        {"coordinate", "dot(0,0).x"},
        {"String", "tabbed"},
    };
    std::vector<Case> cases = {
        {"plain LF", "[String]\nIDS_CONNECTCAP=Board\nIDS_SERRUNNING=Already running\n", common},
        {"CRLF with blanks", "  [String]  \r\n  IDS_CONNECTCAP   =   Board caption   \r\n\r\nIDS_SERRUNNING=x\r\n",
         common},
        {"CR only", "[String]\rIDS_CONNECTCAP=cr\rspaced = a b c \r", common},
        {"case", "[STRING]\nids_ConnectCap=Mixed\n", common},
        {"comments and blank lines",
         "; leading comment\n\n[String]\n; comment\n;comment=x\nIDS_CONNECTCAP=after comment\n# hash=y\n", common},
        {"quotes", "[String]\nquoted=\"in quotes\"\nsingle='single'\nhalf=\"open only\nempty=\neq=a=b=c\n", common},
        {"no value", "[String]\nnovalue\nIDS_CONNECTCAP\n", common},
        {"duplicate keys", "[String]\ndup=first\ndup=second\n", common},
        {"duplicate sections", "[String]\ndup=first\n[Second]\nk=v\n[String]\nlate=later\ndup=third\n", common},
        {"keys before any section", "orphan=o\n[String]\nIDS_CONNECTCAP=c\n", common},
        {"blanks inside brackets", "[ String ]\nIDS_CONNECTCAP=inside\n", common},
        {"unclosed bracket", "[String\nIDS_CONNECTCAP=u\n[String]\nIDS_CONNECTCAP=v\n", common},
        {"text after bracket", "[String] trailing\nIDS_CONNECTCAP=t\n", common},
        {"long value", "[String]\nlong=" + Repeat('L', 300) + "\n", common},
        {"value of 259", "[String]\nlong=" + Repeat('M', 259) + "\n", common},
        {"value of 260", "[String]\nlong=" + Repeat('N', 260) + "\n", common},
        {"quoted long value", "[String]\nlong=\"" + Repeat('Q', 258) + "\"\n", common},
        {"quoted 259", "[String]\nlong=\"" + Repeat('R', 259) + "\"\n", common},
        {"tabs", "[String]\n\ttabbed\t=\tvalue\t\n", common},
        {"numbers", "[coordinate]\nwdot=  4\ndot(0,0).x=12.5abc\n", common},
        {"empty file", "", common},
        {"utf8 bom", "\xEF\xBB\xBF[String]\nIDS_CONNECTCAP=bom\n", common},
        {"no trailing newline", "[String]\nIDS_CONNECTCAP=end", common},
    };
    return cases;
}

// Integer requests: value texts and the defaults asked with them.
struct IntCase {
    std::string value; // written as "[S]\nk=<value>\n"; "<missing>" leaves the key out
    int fallback;
};

inline std::vector<IntCase> IntCases()
{
    return {
        {"5", 3},           {"  7", 3}, {"-12", 3},       {"+9", 3},         {"0012", 3}, {"12abc", 3},
        {"abc", 3},         {"", 3},    {"<missing>", 3}, {"3.9", 3},        {"0x10", 3}, {"4294967295", 3},
        {"99999999999", 3}, {"-", 3},   {"\"42\"", 3},    {"2147483648", 3}, {"  -0", 7}, {"1e3", 3},
        {"\t8", 3},         {"'5'", 1}, {"0b101", 3},     {"0o17", 3},       {"0X10", 3}, {"0x1F", 3},
        {"0xZ", 3},         {"0x", 3},  {"  +0x10", 3},   {"-0x10", 3},      {"09", 3},   {"0b102", 3},
    };
}

} // namespace corpus
