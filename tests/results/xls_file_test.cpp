#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include <sys/stat.h>

using namespace xkv;

namespace {

struct label {
    std::uint16_t row, column;
    std::string text;
    bool operator==(const label&) const = default;
};

std::ostream& operator<<(std::ostream& out, const label& l) {
    return out << "(row " << l.row << ", column " << l.column << ", \"" << l.text << "\")";
}

std::uint16_t word(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
}

// Reads a file back record by record; every record between BOF and EOF must be a whole LABEL.
std::vector<label> labels_of(const std::string& bytes) {
    const std::string bof("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00", 12);
    EXPECT_EQ(bytes.substr(0, 12), bof);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x0a\x00\x00\x00", 4));
    std::vector<label> out;
    std::size_t at = 12;
    while (at + 4 < bytes.size()) {
        EXPECT_EQ(word(bytes, at), 0x0204);
        const std::uint16_t length = word(bytes, at + 10);
        EXPECT_EQ(word(bytes, at + 2), 8 + length);
        EXPECT_EQ(word(bytes, at + 8), 0);
        out.push_back({word(bytes, at + 4), word(bytes, at + 6), bytes.substr(at + 12, length)});
        at += 12 + length;
    }
    EXPECT_EQ(at + 4, bytes.size());
    return out;
}

struct XlsFile : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("listing.xls");
};

} // namespace

TEST_F(XlsFile, TheLabelOfAShortTextIsByteExact) {
    std::ostringstream out;
    write_label_cell(out, 3, 2, "preset");
    EXPECT_EQ(out.str(), std::string("\x04\x02\x0e\x00\x02\x00\x03\x00\x00\x00\x06\x00preset", 18));
}

TEST_F(XlsFile, AHeaderOnlyListingHasItsExactSize) {
    viewer_grid grid;
    grid.add_row(viewer_headers);
    ASSERT_TRUE(save_grid_as_xls(grid, path));
    std::size_t header_bytes = 0;
    for (const auto& h : viewer_headers) header_bytes += h.size();
    EXPECT_EQ(std::filesystem::file_size(path), 12 + 32 * 12 + header_bytes + 4);
    EXPECT_EQ(labels_of(test::read_file(path)).front(), (label{0, 0, "count"}));
}

TEST_F(XlsFile, CellsGoColumnByColumnAsTextLabels) {
    test::write_file(path, std::string(100000, 'x')); // an older, longer file is replaced whole
    const viewer_grid grid = {{"count", "p1"}, {"1", "12.5"}, {"2"}};
    save_grid_as_xls(grid, path);
    EXPECT_EQ(
        labels_of(test::read_file(path)),
        (std::vector<label>{{0, 0, "count"}, {1, 0, "1"}, {2, 0, "2"}, {0, 1, "p1"}, {1, 1, "12.5"}, {2, 1, ""}}));
}

TEST_F(XlsFile, ALongCellIsCutToFitItsLengthAfterItsConversion) {
    const std::string ascii(70000, 'a');
    const std::string euro = "\xe2\x82\xac";
    // The three-byte sign is one byte in the file, so it fits in the last place.
    const std::string straddling = std::string(65526, 'b') + euro + "tail";
    save_grid_as_xls({{ascii, straddling}}, path);
    const auto cells = labels_of(test::read_file(path));
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].text, ascii.substr(0, 65527));
    EXPECT_EQ(cells[1].text, std::string(65526, 'b') + "\x80");
}

TEST_F(XlsFile, AListingBeyondTheWorksheetsRowsIsRefusedBeforeWriting) {
    test::write_file(path, "previous");
    viewer_grid grid;
    for (std::size_t r = 0; r < xls_max_rows + 1; ++r) grid.add_row(std::vector<std::string>{"x"});
    try {
        save_grid_as_xls(grid, path);
        FAIL() << "row 65536 has no index";
    } catch (const file_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot save 65536 rows in \"" + path +
                                             "\": a worksheet holds at most 65535. Narrow the listing with the "
                                             "filters and save again.");
    }
    EXPECT_EQ(test::read_file(path), "previous");

    grid.keep_rows(xls_max_rows);
    save_grid_as_xls(grid, path);
    const auto cells = labels_of(test::read_file(path));
    EXPECT_EQ(cells.back(), (label{65535, 0, "x"}));
}

TEST_F(XlsFile, CellsAreWrittenInTheWorksheetsCodePage) {
    // UTF-8 is converted, Windows-1252 from old databases passes, what the code page lacks is "?".
    save_grid_as_xls({{"\xc2\xb5Sv/h", "M\xfcller", "\xe6\x97\xa5"}}, path);
    EXPECT_EQ(labels_of(test::read_file(path)),
              (std::vector<label>{{0, 0, "\xb5Sv/h"}, {0, 1, "M\xfcller"}, {0, 2, "?"}}));

    // A spreadsheet program, where one is installed, reads the same characters.
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no spreadsheet program";
    const std::string command = "cd '" + dir.path() + "' && HOME='" + dir.path() +
                                "' timeout 120 soffice --headless -env:UserInstallation=file://" + dir.path() +
                                "/profile --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' listing.xls "
                                ">/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string csv = test::read_file(dir.file("listing.csv"));
    EXPECT_EQ(csv.substr(0, csv.find_first_of("\r\n")), "\xc2\xb5Sv/h,M\xc3\xbcller,?");
}

TEST_F(XlsFile, AFileThatCannotBeCreatedIsAnError) {
    const std::string nowhere = dir.file("missing/listing.xls");
    try {
        save_grid_as_xls({{"a"}}, nowhere);
        FAIL() << "no folder";
    } catch (const file_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + nowhere + "\". No such file or directory");
    }
}

TEST_F(XlsFile, APipeReceivesTheSameBytesAsAFile) {
    // Enough rows and ragged cells for the file to be written in several bands.
    viewer_grid grid;
    for (std::size_t r = 0; r < 2500; ++r) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c <= r % 4; ++c) row.push_back(std::string(r % 23, static_cast<char>('a' + c)));
        grid.add_row(row);
    }
    save_grid_as_xls(grid, path);
    const std::string from_file = test::read_file(path);

    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string from_pipe;
    std::thread reader([&] { from_pipe = test::read_file(fifo); });
    save_grid_as_xls(grid, fifo);
    reader.join();
    EXPECT_EQ(from_pipe, from_file);

    const auto cells = labels_of(from_file);
    ASSERT_EQ(cells.size(), 2500u * 4);
    EXPECT_EQ(cells[2499], (label{2499, 0, std::string(2499 % 23, 'a')}));
    EXPECT_EQ(cells[2500], (label{0, 1, ""})); // row 0 has one cell
    EXPECT_EQ(cells[2501], (label{1, 1, "b"}));
    EXPECT_EQ(cells[3 * 2500 + 2499], (label{2499, 3, std::string(2499 % 23, 'd')}));
}
