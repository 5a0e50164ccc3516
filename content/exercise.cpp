#include "content/exercise.hpp"

#include "content/about.hpp"
#include "content/catalogue.hpp"
#include "content/texts.hpp"

namespace drelvan {

Exercise builtInExercise()
{
    Exercise exercise{std::u16string(about::webAddress) + std::u16string(texts::titleSuffix),
                      std::u16string(texts::quizTitle),
                      std::u16string(texts::namesCaption),
                      std::u16string(texts::periodsCaption),
                      std::u16string(texts::openingText),
                      {},
                      /*rightInKeyOrder=*/true};
    exercise.pairs.reserve(catalogue.size());
    for (const Ruler& ruler : catalogue)
        exercise.pairs.push_back({std::u16string(ruler.name), std::u16string(ruler.period), std::u16string(ruler.note)});
    return exercise;
}

} // namespace drelvan
