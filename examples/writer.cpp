#include "examples/writer.hpp"

#include "content/utf8.hpp"

#include <string_view>

namespace drelvan {
namespace {

// The third cell of a spreadsheet's header: the notes have no caption of
// their own in the window.
constexpr std::u16string_view notesCaption = u"Бележка";

std::string csvField(std::u16string_view text)
{
    const bool quoted = text.find_first_of(u";\"\r\n") != std::u16string_view::npos
                        || (!text.empty() && (text.front() == u' ' || text.back() == u' '));
    if (!quoted)
        return toUtf8(text);
    std::string out = "\"";
    for (const char c : toUtf8(text)) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

// Element text for XML: the three characters that would be markup escaped,
// and CR LF written as the LF that XML reads it as.
std::string xmlText(std::u16string_view text)
{
    std::string out;
    const std::string bytes = toUtf8(text);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        switch (const char c = bytes[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += i + 1 < bytes.size() && bytes[i + 1] == '\n' ? "" : "&#13;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string element(std::string_view indent, std::string_view name, std::u16string_view text)
{
    return std::string(indent) + '<' + std::string(name) + '>' + xmlText(text) + "</" + std::string(name) + ">\n";
}

} // namespace

std::string csvOf(const Exercise& exercise)
{
    std::string out = "\xEF\xBB\xBF";
    out += csvField(exercise.leftCaption) + ';' + csvField(exercise.rightCaption) + ';' + csvField(notesCaption)
           + "\r\n";
    for (const Pair& pair : exercise.pairs)
        out += csvField(pair.left) + ';' + csvField(pair.right) + ';' + csvField(pair.note) + "\r\n";
    return out;
}

std::string kvtmlOf(const Exercise& exercise)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kvtml version=\"2.0\">\n"
                      "  <information>\n"
                      "    <generator>Drelvan</generator>\n";
    out += element("    ", "title", exercise.title);
    out += element("    ", "comment", exercise.opening);
    out += "  </information>\n"
           "  <identifiers>\n";
    const std::u16string_view captions[] = {exercise.leftCaption, exercise.rightCaption};
    for (int id = 0; id < 2; ++id) {
        out += "    <identifier id=\"" + std::to_string(id) + "\">\n";
        out += element("      ", "name", captions[id]);
        out += "      <locale>bg</locale>\n"
               "    </identifier>\n";
    }
    out += "  </identifiers>\n"
           "  <entries>\n";
    for (std::size_t row = 0; row < exercise.pairs.size(); ++row) {
        const Pair& pair = exercise.pairs[row];
        out += "    <entry id=\"" + std::to_string(row) + "\">\n"
               "      <translation id=\"0\">\n";
        out += element("        ", "text", pair.left);
        out += "      </translation>\n"
               "      <translation id=\"1\">\n";
        out += element("        ", "text", pair.right);
        if (!pair.note.empty())
            out += element("        ", "comment", pair.note);
        out += "      </translation>\n"
               "    </entry>\n";
    }
    out += "  </entries>\n"
           "</kvtml>\n";
    return out;
}

} // namespace drelvan
