// The examples that the packages ship, khans.csv and khans.kvtml, read back
// as a teacher's file: each must give the quiz the program opens with, the
// same lists, captions and verdicts for every pair a learner can make, so
// that a teacher who starts from them starts from the real thing.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "expected.hpp"

#include "content/exercise.hpp"
#include "pairs/pairfile.hpp"
#include "quiz/quiz.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

using drelvan::Form;

namespace {

// The verdict of every name against every period, each on a fresh deal.
Texts allVerdicts(drelvan::Quiz& quiz)
{
    Form& form = quiz.form();
    const Texts names = entriesOf(form.List1(0));
    const Texts periods = entriesOf(form.List1(1));
    Texts verdicts;
    for (std::size_t name = 0; name < names.size(); ++name)
        for (std::size_t period = 0; period < periods.size(); ++period) {
            form.Command1(0).Click();
            form.List1(0).SetListIndex(static_cast<int16_t>(indexOf(entriesOf(form.List1(0)), names[name])));
            form.List1(1).SetListIndex(static_cast<int16_t>(indexOf(entriesOf(form.List1(1)), periods[period])));
            verdicts.push_back(form.Text1(0).Text());
        }
    return verdicts;
}

} // namespace

TEST_CASE("the shipped examples give the built-in quiz")
{
    for (const bool kvtml : {false, true}) {
        const std::string path = std::string(DRELVAN_EXAMPLES_DIR) + (kvtml ? "/khans.kvtml" : "/khans.csv");
        CAPTURE(path);
        const drelvan::PairFile file = drelvan::readPairFile(path);
        REQUIRE_MESSAGE(file.exercise.has_value(), utf8(file.error));

        drelvan::Quiz builtIn(drelvan::builtInExercise());
        drelvan::Quiz fromFile(*file.exercise);
        const Form& expected = builtIn.form();
        const Form& got = fromFile.form();
        for (int16_t list = 0; list < 5; ++list) {
            CAPTURE(list);
            CHECK(entriesOf(got.List1(list)) == entriesOf(expected.List1(list)));
        }
        CHECK(got.Label1(1).Caption() == expected.Label1(1).Caption());
        CHECK(got.Label1(2).Caption() == expected.Label1(2).Caption());
        // A spreadsheet has no place for them: its title is the file's name,
        // its opening text the program's instruction.
        if (kvtml) {
            CHECK(got.Label1(0).Caption() == expected.Label1(0).Caption());
            CHECK(got.Text1(0).Text() == expected.Text1(0).Text());
        }
        const Texts verdicts = allVerdicts(builtIn);
        REQUIRE(verdicts.size() == 16u * 16u);
        CHECK(allVerdicts(fromFile) == verdicts);
    }
}

// What the reader forgives and a Bulgarian Excel does not: without the
// byte-order mark it takes the text for Windows-1251, without ';' it puts
// each line into one cell; and CR LF is what Windows' own programs write.
TEST_CASE("khans.csv opens in a Bulgarian Excel")
{
    std::ifstream file(DRELVAN_EXAMPLES_DIR "/khans.csv", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    CHECK(bytes.rfind("\xEF\xBB\xBF" "Име на хан;Период;Бележка\r\n", 0) == 0);
    // A header and sixteen rows, none with a line break of its own.
    std::size_t lineEnds = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
        ++lineEnds;
    CHECK(lineEnds == 17);
    CHECK(std::count(bytes.begin(), bytes.end(), '\n') == 17);
    CHECK(std::count(bytes.begin(), bytes.end(), '\r') == 17);
    CHECK(bytes.ends_with("\r\n"));
}
