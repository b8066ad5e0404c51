#pragma once
// Where the rows of a listing go, header row first: a CSV or XLSX file written row by row (a
// listing straight from the database is never held whole), beside its target and renamed over it
// when complete, by the rules of every file the program writes whole.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class listing_writer {
public:
    virtual ~listing_writer() = default;
    virtual void row(const std::vector<std::string_view>& cells) = 0;
    // Completes the file; without it the target stays as it was.
    virtual void finish() = 0;
};

std::unique_ptr<listing_writer> csv_file_writer(const std::string& file_name);
// Numbers as numbers, the date as a date, a bold frozen header row with an autofilter.
std::unique_ptr<listing_writer> xlsx_file_writer(const std::string& file_name);

} // namespace xkv
