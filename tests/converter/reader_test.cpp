#include "converter/convert.h"
#include "converter/model.h"
#include "converter/options.h"
#include "converter/text.h"
#include "temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace bp::conv {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::string text;
    readWholeFile(path, text);
    return text;
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A converter run in a folder of its own, with the committed library.
class ConverterReaderRun : public ::testing::Test {
  protected:
    ConverterReaderRun() {
        env.currentFolder = env.vars["HOME"] = t.path();
        env.vars["LDRAWDIR"] = BRICKPOV_LDRAW_DIR;
    }
    int run(const std::vector<std::string>& args) {
        out.str(""), err.str("");
        return runConverter(args, env, out, err);
    }
    test::TempFolder t;
    Environment env;
    std::ostringstream out, err;
};

TEST(ConverterReader, LineEndsAndByteOrderMarks) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"a\r\n\rb\n", {"a", "", "b"}},
        {"\357\273\277a\r\n\357\273\277b", {"a", "b"}}, // byte-order marks
        {"", {}},
        {"\n", {""}},
    };
    for (const auto& c : cases) {
        LineReader reader(c.text);
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line))
            lines.emplace_back(line);
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_EQ(reader.number(), static_cast<int>(c.lines.size())) << c.text;
    }
}

TEST(ConverterReader, NumbersAreFiniteAndInRange) {
    const struct {
        std::string word;
        NumberRead read;
    } cases[] = {
        {"1", NumberRead::Ok},
        {"+2.5", NumberRead::Ok},
        {"-1e6", NumberRead::Ok},
        {"0.000001", NumberRead::Ok},
        {"1000000.5", NumberRead::OutOfRange},
        {"1e308", NumberRead::OutOfRange},
        {"-1e400", NumberRead::OutOfRange},
        {"nan", NumberRead::NotFinite},
        {"-inf", NumberRead::NotFinite},
        {"infinity", NumberRead::NotFinite},
        {"", NumberRead::NotANumber},
        {"1,5", NumberRead::NotANumber},
        {"0x10", NumberRead::NotANumber},
        {"1.5\r", NumberRead::NotANumber},
    };
    for (const auto& c : cases) {
        double value = 0;
        EXPECT_EQ(readNumber(c.word, value), c.read) << c.word;
    }
}

TEST(ConverterReader, SceneTextHoldsNoLineEndOrControl) {
    const struct {
        std::string text;
        std::size_t limit;
        std::string clean;
    } cases[] = {
        {"Car", 200, "Car"},
        {"a\rsphere{}\n#fopen", 200, "a sphere{} #fopen"},
        {"tab\there\x1b[31m\x7f", 200, "tab here [31m "},
        {"say \"hi\" C:\\x", 200, "say 'hi' C:/x"},
        {"Gr\303\274\303\237e", 200, "Gr\303\274\303\237e"},
        {"bad \xC3 \xFF end", 200, "bad ? ? end"},
        {"0123456789", 8, "01234..."},
        {"ab\xC3\xBC\xC3\xBC\xC3\xBC", 7, "ab\xC3\xBC..."},
        {std::string(200'000'000 / 1000, 'x'), 200, std::string(197, 'x') + "..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sceneText(c.text, c.limit), c.clean) << c.text.substr(0, 40);
}

// What the program prints keeps line ends, tabs and UTF-8 but no escape
// sequence from a hostile name, whether written in a piece or a character.
TEST(ConverterReader, PrintedTextHoldsNoControl) {
    std::stringbuf to;
    PrintableOutput printable(&to);
    std::ostream out(&printable);
    out << "Model: c\x1b[31mar\x7f.ldr\n\tGr\303\274n" << '\x1b' << '\n';
    EXPECT_EQ(to.str(), "Model: c?[31mar?.ldr\n\tGr\303\274n?\n");
}

TEST(ConverterReader, PovCodeThatReadsOrWritesFiles) {
    const struct {
        std::string code, word;
    } cases[] = {
        {"sphere { 0, 1 }\n#declare X = 1;\n", ""},
        {"#fopen F \"/home/u/.bashrc\" append\n", "#fopen"},
        {"#  write (F, \"x\")\n", "#write"},
        {"#include \"strings.inc\"\n", "#include"},
        {"Parse_String(concat(\"#fo\", \"pen\"))\n", "Parse_String"},
        {"global_settings { radiosity { save_file \"x\" } }\n", "save_file"},
        {"// #fopen in a comment\n/* #write */ #declare S = \"#include \\\"x\\\"\";\n", ""},
        {"#declare write_me = 1; #declare my_save_file = 2;\n", ""},
        {"#fopen", "#fopen"},
        {"\"unended #fopen", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileAccessIn(c.code), c.word) << c.code;

    LDrawFile file;
    file.path = "m.ldr";
    ColourTable colours;
    parseLDraw("0 L3P IFPOV\n#fopen F \"x\" write\n0 L3P ENDPOV\n", file, colours);
    EXPECT_EQ(problemMessages(file),
              std::vector<std::string>{"m.ldr line 1: the POV-Ray code of this \"0 L3P IFPOV\" "
                                       "block may read or write files (#fopen); the block is "
                                       "left out"});
}

TEST(ConverterReader, MalformedLinesAreLeftOutAndNamed) {
    LDrawFile file;
    file.path = "m.ldr";
    ColourTable colours;
    parseLDraw("0 M\r\n"
               "1 4 0 0 0 1 0 0 0 1 0 0 0 1 a.dat\r\n"
               "1 4 nan 0 0 1 0 0 0 1 0 0 0 1 b.dat\r\n"
               "3 4 0 0 0 1e308 0 0 0 0 1\r\n"
               "4 x 0 0 0 1 0 0 1 1 0 0 1 0\r\n"
               "2 4 0 0 0 1\r\n"
               "5 4 0 0 0 1 1 1 2 2 2 3 3 3\r\n"
               "1 4 0 0 0 1 0 0 0 1 0 0 0 1\r\n"
               "\xEF\xBB\xBF"
               "1 4 0 0 0 1 0 0 0 1 0 0 0 1 c.dat\r\n"
               "1 4 0 0 0 1 0 0 0 1 0 0 0 1 " +
                   std::string(kLongestLine, 'x') + ".dat\r\n",
               file, colours);
    ASSERT_EQ(file.refs.size(), 2u);
    EXPECT_EQ(file.refs[1].name, "c.dat");
    EXPECT_EQ(file.refs[1].line, 9);
    EXPECT_EQ(file.malformedLines, 6u);
    std::vector<std::string> told = problemMessages(file);
    ASSERT_EQ(told.size(), 6u);
    EXPECT_EQ(told[0], "m.ldr line 3: \"nan\" is not a finite number; the line is left out");
    EXPECT_EQ(told[1], "m.ldr line 4: \"1e308\" is out of range (at most 1000000 either way); "
                       "the line is left out");
    EXPECT_EQ(told[2], "m.ldr line 5: the colour is not a colour number; the line is left out");
    EXPECT_EQ(told[3], "m.ldr line 6: a number is missing; the line is left out");
    EXPECT_EQ(told[4], "m.ldr line 8: no file name; the line is left out");
    EXPECT_EQ(told[5], "m.ldr line 10: longer than 65536 characters; the line is left out");

    LDrawFile many;
    many.path = "n.ldr";
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += "3 4 0 0 0 1 inf 0 0 0 1\n";
    parseLDraw(text + "0 L3P IFPOV\n#fopen F \"x\" write\n0 L3P ENDPOV\n"
                      "0 L3P IFPOV\nsphere { 0, 1 }\n",
               many, colours);
    ASSERT_EQ(many.povCode.size(), 2u);
    EXPECT_EQ(many.povCode[0].text, "");
    told = problemMessages(many);
    ASSERT_EQ(told.size(), 12u);
    EXPECT_EQ(told[10], "n.ldr: 16 more malformed lines left out");
    EXPECT_EQ(told[11], "n.ldr line 29: \"0 L3P IFPOV\" has no \"0 L3P ENDPOV\"; the POV-Ray "
                        "code ends at the end of the file");
}

TEST_F(ConverterReaderRun, SingularPlacementsAndCirclesOfReferences) {
    const std::string brick = " 0 0 0 1 0 0 0 1 0 0 0 1 ";
    writeAll(t.path() + "a.ldr", "0 A\n1 4" + brick + "b.ldr\n1 4" + brick +
                                     "c.ldr\n"
                                     "1 4 0 0 0 1 1 1 1 1 1 1 1 1 3001.dat\n"
                                     "1 4 0 0 0 1 1 0 0 0 0 0 0 1 3001.dat\n"
                                     "1 4 0 0 0 6 0 0 0 0 0 0 0 6 3001.dat\n"
                                     "1 4 0 0 0 0.001 0 0 0 0.001 0 0 0 0.001 3001.dat\n");
    writeAll(t.path() + "b.ldr", "0 B\n1 4" + brick + "a.ldr\n1 4" + brick + "b.ldr\n");
    writeAll(t.path() + "c.ldr", "0 C\n1 4" + brick + "d.ldr\n");
    writeAll(t.path() + "d.ldr", "0 D\n1 4" + brick + "c.ldr\n1 4" + brick + "a.ldr\n");
    EXPECT_EQ(run({"a.ldr"}), kWithWarnings);
    const std::string a = t.path() + "a.ldr";
    for (const std::string& told : {
             a + " line 4: its matrix flattens the part to a line or a point; the line is left out",
             a + " line 5: its matrix flattens the part to a line or a point; the line is left out",
             "\"b.ldr\" and \"a.ldr\" refer to each other (" + t.path() + "a.ldr line 2)",
             "\"b.ldr\" refers to itself (" + t.path() + "b.ldr line 3)",
             "\"c.ldr\" and \"d.ldr\" refer to each other (" + t.path() + "d.ldr line 2)",
             "circle of references \"a.ldr\" -> \"c.ldr\" -> \"d.ldr\" -> \"a.ldr\" (" + t.path() +
                 "d.ldr line 3)",
         })
        EXPECT_NE(err.str().find(told), std::string::npos) << told << "\n" << err.str();
    EXPECT_EQ(err.str().find("line 4", err.str().find("line 4") + 1), std::string::npos)
        << "told twice";
}

TEST_F(ConverterReaderRun, ABadStoredLgeoFolderIsNamed) {
    fs::create_directories(t.path() + ".config/Brickpov");
    writeAll(t.path() + ".config/Brickpov/settings.ini",
             "[Brickpov/Paths]\nLGEOPath=/lgeo\\xZZ\\x4\n");
    writeAll(t.path() + "m.ldr", "1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n");
    EXPECT_EQ(run({"m.ldr", "-lgeo"}), kWithWarnings);
    EXPECT_NE(err.str().find("-lgeo: Brickpov's LGEO folder \"/lgeo\\xZZ\\x4\" (LGEOPath in " +
                             t.path() + ".config/Brickpov/settings.ini) is not a folder"),
              std::string::npos)
        << err.str();
}

// Comments end at a line end; what follows one would be read as POV-Ray code.
TEST_F(ConverterReaderRun, TextFromTheModelStaysInItsComments) {
    const std::string code = "#fopen F \"pwned\" write";
    const std::string name = "m\r" + code + "\r.mpd";
    // Each @ of the model is a vertical tab and the code.
    std::string model = "0 FILE main@.ldr\n0 Title\f@\n"
                        "0 !COLOUR Evil@ CODE 99 VALUE #FF0000 EDGE #000000\n"
                        "1 99 0 0 0 1 0 0 0 1 0 0 0 1 sub@.ldr\n0 FILE sub@.ldr\n0 Sub@\n"
                        "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n";
    for (std::size_t at = 0; (at = model.find('@', at)) != std::string::npos;)
        model.replace(at, 1, "\x0b" + code);
    writeAll(t.path() + name, model);
    ASSERT_EQ(run({name, "scene.pov"}), kConverted) << err.str();
    const std::string scene = readAll(t.path() + "scene.pov");
    LineReader lines(scene);
    std::string_view line;
    int seen = 0;
    while (lines.next(line)) {
        if (line.find("#fopen") == std::string_view::npos)
            continue;
        ++seen;
        EXPECT_LT(line.find("//"), line.find("#fopen")) << line;
        EXPECT_EQ(line.find_first_of("\x0b\f"), std::string_view::npos) << line;
    }
    EXPECT_EQ(seen, 4); // the title, the colour, the subfile's name and title, the path
}

} // namespace
} // namespace bp::conv
