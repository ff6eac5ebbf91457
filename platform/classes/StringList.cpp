// TStringList: a list of 8-bit strings with line-text loading and saving and name=value access.
#include "platform/classes/StringList.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/classes/Stream.h"

#include <algorithm>
#include <limits>

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
}

const AnsiString& TStringList::operator[](int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

AnsiString& TStringList::operator[](int index)
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

int TStringList::Add(const AnsiString& s)
{
    items_.push_back(s);
    return Count() - 1;
}

void TStringList::Insert(int index, const AnsiString& s)
{
    if (index < 0 || index > Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(std::string_view s) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(items_[static_cast<std::size_t>(i)], s))
            return i;
    return -1;
}

void TStringList::Sort()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [](const AnsiString& a, const AnsiString& b) { return UpperCase(a) < UpperCase(b); });
}

AnsiString TStringList::Text() const
{
    AnsiString text;
    for (const AnsiString& line : items_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(std::string_view text)
{
    items_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        items_.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
}

void TStringList::LoadFromStream(TStream& stream)
{
    const std::int64_t left = stream.GetSize() - stream.GetPosition();
    if (left > std::numeric_limits<int>::max())
        throw EReadError("Stream read error");
    AnsiString text(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)), '\0');
    stream.ReadBuffer(text.data(), static_cast<int>(text.size()));
    SetText(text);
}

void TStringList::LoadFromFile(const AnsiString& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStringList::SaveToStream(TStream& stream) const
{
    const AnsiString text = Text();
    stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
}

void TStringList::SaveToFile(const AnsiString& fileName) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

AnsiString TStringList::Names(int index) const
{
    const AnsiString& line = (*this)[index];
    const std::size_t eq = line.find('=');
    return eq == AnsiString::npos ? AnsiString() : line.substr(0, eq);
}

int TStringList::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i) {
        const AnsiString& line = items_[static_cast<std::size_t>(i)];
        const std::size_t eq = line.find('=');
        if (eq != AnsiString::npos && SameText(std::string_view(line).substr(0, eq), name))
            return i;
    }
    return -1;
}

AnsiString TStringList::Values(std::string_view name) const
{
    const int index = IndexOfName(name);
    if (index < 0)
        return {};
    const AnsiString& line = items_[static_cast<std::size_t>(index)];
    return line.substr(line.find('=') + 1);
}

void TStringList::SetValue(std::string_view name, std::string_view value)
{
    const int index = IndexOfName(name);
    const AnsiString line = AnsiString(name) + "=" + AnsiString(value);
    if (index >= 0)
        items_[static_cast<std::size_t>(index)] = line;
    else
        Add(line);
}
