#include "core/design/DesignFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/TerminalText.h"
#include "core/WordList.h"
#include "core/design/AtomicFile.h"
#include "core/design/ErrorText.h"
#include "core/design/TexturePath.h"

// The layout, written in this order (the reader takes any order and spacing):
//
// {
//   "format": "velmora-design",
//   "version": 2,
//   "profile": [
//     {"x": 0.0, "y": 0.0},
//     {"x": 1.5, "y": 2.25}
//   ],
//   "path": [],
//   "degree": 1,
//   "texture": "textures/stripes.bmp",   (or null when there is none)
//   "render": "solid",                  (a RenderModeWord)
//   "view": {
//     "rotation": [
//       1.0, 0.0, 0.0, 0.0,             (one column of the matrix a line)
//       0.0, 1.0, 0.0, 0.0,
//       0.0, 0.0, 1.0, 0.0,
//       0.0, 0.0, 0.0, 1.0
//     ],
//     "distance": 20.0
//   },
//   "export": {                         (version 2 on; version 1: the defaults)
//     "slices": 24,
//     "intervals": 10,
//     "caps": false,
//     "thickness": 0.0,
//     "scale": 1.0,
//     "units": null,                    (a LengthUnits word, or null: the format's own)
//     "up": null                        (an UpAxisWord, or null: the format's own)
//   }
// }
//
// Numbers are std::to_chars's shortest round-trip form (of the double for
// points, of the float for the view; see AppendNumber), with ".0" added to
// whole numbers so that -0.0 keeps its sign. Every non-ASCII character is written as it is.
//
// Only "texture", and "units" and "up" of "export", may be absent. Keys other than these are refused, so a
// misspelt key in a hand-written file is not silently ignored; so is a key
// given twice in one object, a NUL byte, and anything but whitespace after
// the value.

namespace {

using Json = nlohmann::json;

// Arrays and objects nested deeper than this are refused while parsing (the
// layout needs 3).
constexpr int kMaxJsonDepth = 16;
// More values than this are refused while parsing. The layout holds at most
// about 6,000 (1000 points a curve); the limit keeps a file of millions of
// tiny values from costing the memory and time of building them all.
constexpr std::size_t kMaxJsonValues = 100000;
// The longest piece of a file (a key, a word) that a reason quotes.
constexpr std::size_t kMaxQuotedBytes = 40;

// A fault in the contents of a design: thrown and caught inside this file.
struct Fault {
    std::string text;
};

[[noreturn]] void Refuse(std::string text)
{
    throw Fault{std::move(text)};
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// A piece of the file as JSON text, cut short (at a character) for a reason.
std::string Shown(const Json& value)
{
    const auto dump = [](const Json& v) { return v.dump(-1, ' ', false, Json::error_handler_t::replace); };
    const auto cut = [](std::string text) {
        std::size_t end = kMaxQuotedBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        return text.substr(0, end);
    };
    if (value.is_string() && value.get_ref<const std::string&>().size() > kMaxQuotedBytes) {
        std::string text = dump(Json(cut(value.get_ref<const std::string&>())));
        return text.insert(text.size() - 1, "...");
    }
    const std::string text = dump(value);
    return text.size() > kMaxQuotedBytes ? cut(text) + "..." : text;
}

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? path : name;
}

// ---- Rules shared by the reader and the writer (core/design/Design.h)

void Check(const Result<void>& checked)
{
    if (!checked)
        Refuse(checked.Error());
}

// ---- Reading

const Json& Member(const Json& object, const char* key, const std::string& missing)
{
    const auto it = object.find(key);
    if (it == object.end())
        Refuse(missing);
    return *it;
}

// `prefix` leads the reason, e.g. `"view" has an `.
void RefuseUnknownKeys(const Json& object, std::initializer_list<const char*> known, const std::string& prefix)
{
    for (const auto& item : object.items()) {
        bool isKnown = false;
        for (const char* key : known)
            isKnown = isKnown || item.key() == key;
        if (!isKnown)
            Refuse(prefix + "unknown key " + Shown(Json(item.key())));
    }
}

double ReadNumber(const Json& value, const std::string& what)
{
    if (!value.is_number())
        Refuse(what + " must be a number");
    const double number = value.get<double>();
    if (!std::isfinite(number))  // a literal beyond the double range, like 1e999
        Refuse(what + " is not a finite number");
    return number;
}

float ReadFloat(const Json& value, const std::string& what)
{
    const double number = ReadNumber(value, what);
    // From 2^128 - 2^103 on a double rounds to infinity as a float.
    if (std::fabs(number) >= 0x1.ffffffp127)
        Refuse(what + " is too large");
    return static_cast<float>(number);
}

// Refuses `options` as soon as the one just read is out of range, naming it.
void CheckOption(const ExportOptions& options, const char* key)
{
    if (const Result<void> checked = CheckExportOptions(options); !checked)
        Refuse("\"export\" " + Quoted(key) + ": " + checked.Error());
}

int ReadWholeOption(const Json& block, const char* key)
{
    const std::string name = "\"export\" " + Quoted(key);
    const Json& value = Member(block, key, "\"export\" has no " + Quoted(key));
    if (!value.is_number_integer())
        Refuse(name + " must be a whole number");
    // Far beyond any range, and beyond int: refused for its size alone.
    if (value.is_number_unsigned() ? value.get<std::uint64_t>() > 1000000u
                                   : value.get<std::int64_t>() < -1000000)
        Refuse(name + " " + Shown(value) + " is out of range");
    return value.get<int>();
}

// A word of `words` or null (or nothing): the format's default.
template <typename T>
std::optional<T> ReadWordOption(const Json& block, const char* key, std::optional<T> (*fromWord)(const std::string&),
                                const std::vector<std::string>& words)
{
    const auto value = block.find(key);
    if (value == block.end() || value->is_null())
        return std::nullopt;
    const std::optional<T> read = value->is_string() ? fromWord(value->get_ref<const std::string&>()) : std::nullopt;
    if (!read)
        Refuse("\"export\" " + Quoted(key) + " must be " + ListForSentence(words, "\"") + " or null");
    return read;
}

ExportOptions ReadExportOptions(const Json& root)
{
    const Json& block = Member(root, "export", "\"export\" is missing");
    if (!block.is_object())
        Refuse("\"export\" must be an object of export options");
    RefuseUnknownKeys(block, {"slices", "intervals", "caps", "thickness", "scale", "units", "up"},
                      "\"export\" has an ");
    ExportOptions options;
    options.sweep.slices = ReadWholeOption(block, "slices");
    CheckOption(options, "slices");
    options.sweep.intervalsPerSpan = ReadWholeOption(block, "intervals");
    CheckOption(options, "intervals");
    const Json& caps = Member(block, "caps", "\"export\" has no \"caps\"");
    if (!caps.is_boolean())
        Refuse("\"export\" \"caps\" must be true or false");
    options.caps = caps.get<bool>();
    options.thickness = ReadNumber(Member(block, "thickness", "\"export\" has no \"thickness\""),
                                   "\"export\" \"thickness\"");
    CheckOption(options, "thickness");
    options.scale = ReadNumber(Member(block, "scale", "\"export\" has no \"scale\""), "\"export\" \"scale\"");
    CheckOption(options, "scale");
    options.units = ReadWordOption<LengthUnit>(block, "units", LengthUnitFromWord, LengthUnitWords());
    options.up = ReadWordOption<UpAxis>(block, "up", UpAxisFromWord, UpAxisWords());
    return options;
}

std::vector<CVector3> ReadCurve(const Json& root, const char* curve)
{
    const Json& array = Member(root, curve, Quoted(curve) + " is missing");
    if (!array.is_array())
        Refuse(Quoted(curve) + " must be an array of points");
    Check(CheckPointCount(curve, array.size()));
    std::vector<CVector3> points;
    points.reserve(array.size());
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::string name = PointName(curve, i);
        const Json& point = array[i];
        if (!point.is_object())
            Refuse(name + " must be an object with \"x\" and \"y\"");
        RefuseUnknownKeys(point, {"x", "y"}, name + " has an ");
        const double x = ReadNumber(Member(point, "x", name + " has no \"x\""), name + " \"x\"");
        const double y = ReadNumber(Member(point, "y", name + " has no \"y\""), name + " \"y\"");
        Check(CheckPoint(curve, i, x, y));
        points.emplace_back(x, y, 0.0);
    }
    return points;
}

// " (invalid literal)" out of nlohmann's message, without the bytes it quotes.
std::string SyntaxDetail(const std::string& what)
{
    const std::size_t start = what.find(" - ");
    if (start == std::string::npos)
        return std::string();
    std::string detail = what.substr(start + 3);
    detail = detail.substr(0, detail.find("; last read"));
    return " (" + detail + ")";
}

// "line 3, column 7" for the byte at `offset` of `text`.
std::string LineAndColumn(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i)
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

// An open array or object while parsing, with the index of the array's
// current element or the object's last key, which name the place of a fault.
struct Place {
    bool array;
    std::size_t index;
    std::string key;
    Json* value;
    Json* member;  // the object's value for `key`
};

// `"profile" point 1 "y"`, in the words of the other reasons.
std::string PlaceName(const std::vector<Place>& places)
{
    std::string name;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0)
            name += ' ';
        if (!places[i].array)
            name += Shown(Json(places[i].key));
        else if (i > 0 && (places[i - 1].key == "profile" || places[i - 1].key == "path"))
            name += "point " + std::to_string(places[i].index);
        else
            name += "number " + std::to_string(places[i].index);
    }
    return name.empty() ? "the number" : name;
}

// Builds the parsed value from nlohmann's SAX events in one pass, refusing
// deep nesting, too many values and repeated keys as it goes. (nlohmann's
// callback parser rescans the parent of every object it closes, so a file of
// many small objects would take time growing with the square of its size.)
class ValueBuilder {
public:
    explicit ValueBuilder(std::string_view text) : text_(text) {}

    Json Take() { return std::move(root_); }

    bool null() { return Scalar(nullptr); }
    bool boolean(bool value) { return Scalar(value); }
    bool number_integer(Json::number_integer_t value) { return Scalar(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return Scalar(value); }
    bool number_float(Json::number_float_t value, const Json::string_t&) { return Scalar(value); }
    bool string(Json::string_t& value) { return Scalar(std::move(value)); }
    bool binary(Json::binary_t& value) { return Scalar(std::move(value)); }  // not in JSON text
    bool start_object(std::size_t) { return Open(Json::object()); }
    bool start_array(std::size_t) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(Json::string_t& key)
    {
        Place& object = places_.back();
        object.key = key;
        const auto [member, added] = object.value->emplace(std::move(key), nullptr);
        if (!added)
            Refuse(PlaceName(places_) + " appears twice");
        object.member = &member.value();
        return true;
    }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error)
    {
        if (dynamic_cast<const Json::out_of_range*>(&error))  // a literal beyond the double range, like 1e999
            Refuse(PlaceName(places_) + " is not a finite number");
        // `position` counts the bytes read, the offending one last.
        const std::size_t offset = std::min<std::size_t>(position > 0 ? position - 1 : 0, text_.size());
        if (complete_)
            Refuse("text after the end of the JSON value at " + LineAndColumn(text_, offset));
        Refuse("not valid JSON at " + LineAndColumn(text_, offset) + SyntaxDetail(error.what()));
    }

private:
    // Puts `value` in its place: the root, the array's end or the last key.
    Json* Put(Json&& value)
    {
        if (++values_ > kMaxJsonValues)
            Refuse("not a design: more than " + std::to_string(kMaxJsonValues) + " values");
        if (places_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Place& parent = places_.back();
        if (!parent.array)
            return &(*parent.member = std::move(value));
        parent.value->emplace_back(std::move(value));
        return &parent.value->back();
    }

    bool Scalar(Json&& value)
    {
        Put(std::move(value));
        Completed();
        return true;
    }

    bool Open(Json&& container)
    {
        if (places_.size() >= std::size_t(kMaxJsonDepth))
            Refuse("not a design: nested more than " + std::to_string(kMaxJsonDepth) + " levels deep");
        const bool array = container.is_array();
        Json* value = Put(std::move(container));
        places_.push_back({array, 0, std::string(), value, nullptr});
        return true;
    }

    bool Close()
    {
        places_.pop_back();
        Completed();
        return true;
    }

    // A value is complete: the next one in its array, or the whole text.
    void Completed()
    {
        if (places_.empty())
            complete_ = true;
        else if (places_.back().array)
            ++places_.back().index;
    }

    std::string_view text_;
    Json root_;
    std::vector<Place> places_;  // the open arrays and objects, outermost first
    std::size_t values_ = 0;
    bool complete_ = false;
};

Json ParseJson(std::string_view text)
{
    if (text.empty())
        Refuse("the file is empty");
    // nlohmann's lexer takes a NUL byte for the end of the input.
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        Refuse("the file has a NUL byte at " + LineAndColumn(text, nul));
    ValueBuilder builder(text);
    Json::sax_parse(text.begin(), text.end(), &builder);
    return builder.Take();
}

std::string TooLarge()
{
    return "the file is larger than " + std::to_string(kMaxDesignFileBytes >> 20) + " MiB";
}

Design ReadDesign(std::string_view text, const std::string& path)
{
    if (text.size() > kMaxDesignFileBytes)
        Refuse(TooLarge());
    const Json root = ParseJson(text);

    const auto format = root.is_object() ? root.find("format") : root.end();
    if (!root.is_object() || format == root.end())
        Refuse("not a Velmora design (no \"format\")");
    if (!format->is_string() || format->get_ref<const std::string&>() != kDesignFormatName)
        Refuse("not a Velmora design (\"format\" is " + Shown(*format) + ")");
    const Json& version = Member(root, "version", "\"version\" is missing");
    if (!version.is_number_integer())
        Refuse("\"version\" must be a whole number");
    if (version.is_number_unsigned() && version.get<std::uint64_t>() > std::uint64_t(kDesignFormatVersion))
        Refuse("version " + version.dump() + " is newer than this program reads ("
               + std::to_string(kDesignFormatVersion) + ")");
    if (!version.is_number_unsigned() || version.get<std::uint64_t>() < std::uint64_t(kOldestDesignFormatVersion))
        Refuse("\"version\" " + version.dump() + " is not a valid version");
    const bool storesOptions = version.get<std::uint64_t>() >= 2;
    RefuseUnknownKeys(root, {"format", "version", "profile", "path", "degree", "texture", "render", "view", "export"},
                      "");
    if (!storesOptions && root.contains("export"))
        Refuse("\"export\" needs version 2 (the file says 1)");

    Design design;
    design.profile = ReadCurve(root, "profile");
    design.path = ReadCurve(root, "path");

    const Json& degree = Member(root, "degree", "\"degree\" is missing");
    if (!degree.is_number_integer())
        Refuse("\"degree\" must be a whole number");
    const std::uint64_t degreeValue = degree.is_number_unsigned() ? degree.get<std::uint64_t>() : 0;
    if (!degree.is_number_unsigned() || degreeValue < kMinDesignDegree || degreeValue > kMaxDesignDegree)
        Refuse(DegreeOutOfRange(degree.dump()));
    design.degree = static_cast<std::uint32_t>(degreeValue);

    const auto texture = root.find("texture");
    if (texture != root.end() && !texture->is_null()) {
        if (!texture->is_string())
            Refuse("\"texture\" must be a path or null");
        const std::string& stored = texture->get_ref<const std::string&>();
        if (stored.find('\0') != std::string::npos)
            Refuse("\"texture\" contains a NUL character");
        design.texturePath = ResolveStoredTexturePath(path, stored);
    }

    const Json& render = Member(root, "render", "\"render\" is missing");
    const std::optional<RenderMode> renderMode =
        render.is_string() ? RenderModeFromWord(render.get_ref<const std::string&>()) : std::nullopt;
    if (!renderMode)
        Refuse("\"render\" must be " + ListForSentence(RenderModeWords(), "\""));
    design.renderMode = *renderMode;

    const Json& view = Member(root, "view", "\"view\" is missing");
    if (!view.is_object())
        Refuse("\"view\" must be an object with \"rotation\" and \"distance\"");
    RefuseUnknownKeys(view, {"rotation", "distance"}, "\"view\" has an ");
    const Json& rotation = Member(view, "rotation", "\"view\" has no \"rotation\"");
    if (!rotation.is_array() || rotation.size() != 16)
        Refuse("\"view\" \"rotation\" must be an array of 16 numbers");
    for (std::size_t i = 0; i < 16; ++i)
        design.viewRotation[i] = ReadFloat(rotation[i], RotationName(i));
    design.viewDistance =
        ReadFloat(Member(view, "distance", "\"view\" has no \"distance\""), "\"view\" \"distance\"");
    Check(CheckView(design.viewRotation, design.viewDistance));
    if (storesOptions)
        design.output = ReadExportOptions(root);
    return design;
}

// What `body` gives, or the fault or exception it threw as a failure naming
// `who`.
template <typename Body>
auto Guarded(const std::string& who, Body body) noexcept -> Result<decltype(body())>
{
    try {
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                return {};
            } else {
                return body();
            }
        } catch (const Fault& fault) {
            return Failure{who + ": " + fault.text};
        } catch (const std::bad_alloc&) {
            return Failure{who + ": out of memory"};
        } catch (const std::exception& e) {
            return Failure{who + ": " + e.what()};
        }
    } catch (...) {  // out of memory for the message itself; this fits in place
        return Failure{"out of memory"};
    }
}

// A failure's message passed on to a result of another kind.
Failure Relayed(const std::string& message) noexcept
{
    try {
        return Failure{message};
    } catch (...) {  // this fits in place
        return Failure{"out of memory"};
    }
}

// ---- Writing

void AppendString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                constexpr char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void AppendNumberText(std::string& out, std::string_view text)
{
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos)
        out += ".0";
}

void AppendNumber(std::string& out, double value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    AppendNumberText(out, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

// The reader takes a float through a double, and a float's shortest form
// does not always survive that second rounding (all 2^32 floats were tried:
// only +-7.038531e-26 fail); those get the double's shortest form, exact.
void AppendNumber(std::string& out, float value)
{
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    double back = 0.0;
    std::from_chars(buffer, end, back);
    const float again = static_cast<float>(back);
    if (std::memcmp(&again, &value, sizeof value) != 0)
        end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value)).ptr;
    AppendNumberText(out, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void AppendCurve(std::string& out, const char* curve, const std::vector<CVector3>& points)
{
    out += "  \"";
    out += curve;
    out += "\": [";
    for (std::size_t i = 0; i < points.size(); ++i) {
        out += i == 0 ? "\n    {\"x\": " : ",\n    {\"x\": ";
        AppendNumber(out, points[i].x);
        out += ", \"y\": ";
        AppendNumber(out, points[i].y);
        out += '}';
    }
    out += points.empty() ? "],\n" : "\n  ],\n";
}

void AppendWordOrNull(std::string& out, const char* word)
{
    if (word)
        AppendString(out, word);
    else
        out += "null";
}

void AppendExportOptions(std::string& out, const ExportOptions& options)
{
    out += "\n  },\n  \"export\": {\n    \"slices\": " + std::to_string(options.sweep.slices) +
           ",\n    \"intervals\": " + std::to_string(options.sweep.intervalsPerSpan) +
           ",\n    \"caps\": " + (options.caps ? "true" : "false") + ",\n    \"thickness\": ";
    AppendNumber(out, options.thickness);
    out += ",\n    \"scale\": ";
    AppendNumber(out, options.scale);
    out += ",\n    \"units\": ";
    AppendWordOrNull(out, options.units ? LengthUnitInfoOf(*options.units).word : nullptr);
    out += ",\n    \"up\": ";
    AppendWordOrNull(out, options.up ? UpAxisWord(*options.up) : nullptr);
    out += "\n  }\n";
}

std::string WriteDesign(const Design& design, const std::string& path)
{
    Check(CheckDesign(design));
    const std::string texture = MakeStoredTexturePath(path, design.texturePath);
    if (texture.find('\0') != std::string::npos)
        Refuse("the texture path contains a NUL character");
    if (!IsValidUtf8(texture))
        Refuse("the texture path is not UTF-8 text");
    const std::string render = RenderModeWord(design.renderMode);

    std::string out = "{\n  \"format\": ";
    AppendString(out, kDesignFormatName);
    out += ",\n  \"version\": " + std::to_string(kDesignFormatVersion) + ",\n";
    AppendCurve(out, "profile", design.profile);
    AppendCurve(out, "path", design.path);
    out += "  \"degree\": " + std::to_string(design.degree) + ",\n  \"texture\": ";
    if (texture.empty())
        out += "null";
    else
        AppendString(out, texture);
    out += ",\n  \"render\": ";
    AppendString(out, render);
    out += ",\n  \"view\": {\n    \"rotation\": [";
    for (std::size_t i = 0; i < 16; ++i) {
        out += i == 0 ? "\n      " : i % 4 == 0 ? ",\n      " : ", ";
        AppendNumber(out, design.viewRotation[i]);
    }
    out += "\n    ],\n    \"distance\": ";
    AppendNumber(out, design.viewDistance);
    AppendExportOptions(out, design.output);
    out += "}\n";
    if (out.size() > kMaxDesignFileBytes)
        Refuse("the file would be larger than " + std::to_string(kMaxDesignFileBytes >> 20) + " MiB");
    return out;
}

} // namespace

Result<Design> ParseDesignText(std::string_view text, const std::string& path) noexcept
{
    return Guarded(FileName(path), [&] { return ReadDesign(text, path); });
}

Result<Design> OpenDesignFile(const std::string& path) noexcept
{
    std::string text;
    bool tooLarge = false;
    int fd = -1;
    const Result<void> read = Guarded(path, [&] {
        // O_NONBLOCK: opening a FIFO must not wait for a writer.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            Refuse("cannot open the file (" + design_detail::ErrorText(errno) + ")");
        struct stat info;
        if (::fstat(fd, &info) != 0)
            Refuse("cannot read the file (" + design_detail::ErrorText(errno) + ")");
        if (S_ISDIR(info.st_mode))
            Refuse("is a folder, not a design file");
        if (!S_ISREG(info.st_mode))
            Refuse("is not a regular file");
        tooLarge = std::uint64_t(info.st_size) > kMaxDesignFileBytes;
        if (tooLarge)
            return;
        text.reserve(std::size_t(info.st_size) + 1);
        // Up to one chunk past the limit, so a file that grew is caught too.
        char chunk[65536];
        while (text.size() <= kMaxDesignFileBytes) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Refuse("cannot read the file (" + design_detail::ErrorText(errno) + ")");
            if (n == 0)
                break;
            text.append(chunk, std::size_t(n));
        }
    });
    if (fd >= 0)
        ::close(fd);
    if (!read)
        return Relayed(read.Error());
    if (tooLarge)
        return Guarded(FileName(path), []() -> Design { Refuse(TooLarge()); });
    return ParseDesignText(text, path);
}

Result<std::string> FormatDesignText(const Design& design, const std::string& path) noexcept
{
    return Guarded(FileName(path), [&] { return WriteDesign(design, path); });
}

Result<void> SaveDesignFile(const std::string& path, const Design& design) noexcept
{
    const Result<std::string> text = FormatDesignText(design, path);
    if (!text)
        return Relayed(text.Error());
    return WriteFileAtomically(path, *text);
}
