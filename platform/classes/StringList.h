// TStringList: a list of 8-bit strings with line-text loading and saving and name=value access.
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/classes/Component.h"

#include <vector>

class TStream;

class TStringList : public TObject {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0 .. Count - 1.
    const AnsiString& operator[](int index) const;
    AnsiString& operator[](int index);

    int Add(const AnsiString& s);
    void Insert(int index, const AnsiString& s);
    void Delete(int index);
    void Clear() { items_.clear(); }
    // First index of a string equal to `s` ignoring the case of Latin letters, or -1.
    int IndexOf(std::string_view s) const;
    void Sort();

    // The lines joined, each followed by CR LF.
    AnsiString Text() const;
    // Replaces the list with the lines of `text`, split at CR LF, LF or CR.
    void SetText(std::string_view text);

    // Reads the rest of the stream from its position as text.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const AnsiString& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const AnsiString& fileName) const;

    // "name=value" lines: the name part of line `index`, the index of a name, and a name's value.
    AnsiString Names(int index) const;
    int IndexOfName(std::string_view name) const;
    AnsiString Values(std::string_view name) const;
    void SetValue(std::string_view name, std::string_view value);

private:
    void CheckIndex(int index) const;

    std::vector<AnsiString> items_;
};
