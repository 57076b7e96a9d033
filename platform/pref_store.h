#pragma once
// The process-wide table of named settings behind every preference, read
// from "res/prefs.txt" at start-up and written back, sorted by key, at a
// graceful shutdown.
//
// File format, one entry per line (LF written; LF, CR LF and lone CR read):
//   Key 800             an integer ("%d")
//   Key 1.500000        a real ("%.6lf"; more digits when six would not
//                       give the same value back)
//   Key "text"          a string in double quotes
// Strings (and keys) are escaped so that every value reads back exactly:
// \\ for a backslash, \" for a double quote and \xHH for any byte outside
// 32-126. A line that fits none of the forms is skipped, not the rest of
// the file. Strings written by earlier versions without escapes still read
// as they were.

#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

enum PrefType : u32 {
    kPrefInteger = 0,
    kPrefReal = 1,
    kPrefString = 2,
};

// Only the member of the type is meaningful.
struct PrefValue {
    u32 type = kPrefInteger;
    double real = 0.0;
    std::string text;
    i32 integer = 0;
};

class PrefStore {
public:
    // Getters leave their output unchanged and return false when the key is
    // absent or of another type.
    bool GetInt(const std::string& key, i32* value) const;
    // Integers are converted.
    bool GetDouble(const std::string& key, double* value) const;
    bool GetString(const std::string& key, std::string* value) const;
    // Appends the list's elements (the vector is not emptied first); true when
    // the vector then holds any element, false when the key holds no string.
    bool GetStringList(const std::string& key, std::vector<std::string>& values) const;

    // Insert or replace; the stored type becomes the setter's.
    void SetInt(const std::string& key, i32 value);
    void SetDouble(const std::string& key, double value);
    void SetString(const std::string& key, const std::string& value);
    // Every element followed by ';' (the last included); an element holding
    // ';' would read back as two.
    void SetStringList(const std::string& key, const std::vector<std::string>& values);

    bool Has(const std::string& key) const { return values_.count(key) != 0; }
    void Remove(const std::string& key) { values_.erase(key); }
    void Clear() { values_.clear(); }
    const std::map<std::string, PrefValue>& values() const { return values_; }

    // Adds every well-formed line of text to the store (replacing earlier
    // values of the same key). False when any line was malformed; the other
    // lines are still taken.
    bool Parse(const std::string& text);
    // The whole file's text, in key order. Entries with an empty key cannot
    // be written and are left out.
    std::string Serialize() const;

    // False when the file cannot be read (the store keeps what it holds) or a
    // line was malformed.
    bool Read(const std::string& path);
    // Through a temporary file renamed into place: a failed write leaves the
    // old file as it was.
    bool Write(const std::string& path) const;

private:
    std::map<std::string, PrefValue> values_;  // std::string orders bytewise (unsigned)
};

// The one store of the program.
PrefStore& Prefs();

// "res/prefs.txt", relative to the working folder; tests point it elsewhere.
const std::string& PrefsPath();
void SetPrefsPath(const std::string& path);

// Also removes what an interrupted save left beside the file.
bool ReadPrefs();
bool WritePrefs();
bool GetPrefInt(const std::string& key, i32* value);
bool GetPrefDouble(const std::string& key, double* value);
bool GetPrefString(const std::string& key, std::string* value);
bool GetPrefStringList(const std::string& key, std::vector<std::string>& values);
void SetPrefInt(const std::string& key, i32 value);
void SetPrefDouble(const std::string& key, double value);
void SetPrefString(const std::string& key, const std::string& value);
void SetPrefStringList(const std::string& key, const std::vector<std::string>& values);

}  // namespace pirn
