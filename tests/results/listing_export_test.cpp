#include "results/csv_export.h"
#include "results/iso11929.h"
#include "results/listing_export.h"
#include "results/save_results.h"
#include "results_db.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <sys/stat.h>

using namespace xkv;

namespace {

TEST(CsvExport, FieldsAreQuotedOnlyWhereNeededAndRowsEndInCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"12.5", "12.5"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {" padded", "\" padded\""},
        {"M\xfcller", "M\xc3\xbcller"},   // a Windows-1252 text becomes UTF-8
        {"\xc2\xb5Sv/h", "\xc2\xb5Sv/h"}, // UTF-8 stays as it is
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(csv_field(text), field) << text;
    std::ostringstream out;
    write_csv_row(out, {"a", "b,c", ""});
    EXPECT_EQ(out.str(), "a,\"b,c\",\r\n");
}

struct ListingExport : ::testing::Test {
    test::temp_dir dir;
    std::string db = dir.file("results.mdb");

    void SetUp() override {
        run_table table;
        table[0] = test::measured_row("M\xc3\xbcller, K.");
        table[0].units = "\xc2\xb5Sv/h";
        table[1] = test::measured_row("S2");
        table[1].p1 = "2"; // 2 counts in 100 s: the background rate, nothing detected
        save_results(table, db);
        t_sqlite(db).query("UPDATE results SET ts='2024-05-02 08:30:15'");
    }

    // Runs a python3 snippet on the file; its stdout.
    std::string python(const std::string& code, const std::string& file) {
        test::write_file(dir.file("read.py"), code);
        const std::string out = dir.file("read.out");
        const std::string command = "python3 " + dir.file("read.py") + " " + file + " > " + out;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return test::read_file(out);
    }
};

TEST_F(ListingExport, CsvStartsWithTheMarkAndCarriesTheLimitColumns) {
    const std::string file = dir.file("listing.csv");
    test::write_file(file, "old");
    auto writer = csv_file_writer(file);
    export_listing(db, base_select(), *writer, true, default_limits_k);
    const std::string text = test::read_file(file);
    ASSERT_TRUE(text.starts_with("\xEF\xBB\xBF"
                                 "count,date,Sample ID,description,"));
    EXPECT_NE(text.find(",Text activity beta,decision threshold alpha,detection limit alpha,detection alpha,"
                        "decision threshold beta,detection limit beta,detection beta\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"M\xc3\xbcller, K.\",soil,1,1000,C1-C2,12.5,340,"), std::string::npos);
    EXPECT_NE(text.find(",\xc2\xb5Sv/h,"), std::string::npos);

    // Unfinished, the target stays as it was and no sibling is left behind.
    test::write_file(file, "old");
    {
        auto unfinished = csv_file_writer(file);
        unfinished->row({"x"});
    }
    EXPECT_EQ(test::read_file(file), "old");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("listing.csv.")) << entry.path();
    EXPECT_THROW(csv_file_writer(dir.file("missing/folder/x.csv")), file_error);
}

TEST_F(ListingExport, XlsxReadsBackWithNumbersDatesTextAndTheFrozenFilteredHeader) {
    const std::string file = dir.file("listing.xlsx");
    auto writer = xlsx_file_writer(file);
    export_listing(db, base_select(), *writer, true, default_limits_k);
    // An independent reader: the zip's sheet XML, cell by cell.
    const std::string cells = python(R"(
import sys, zipfile, xml.etree.ElementTree as ET
ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}
z = zipfile.ZipFile(sys.argv[1])
sheet = ET.fromstring(z.read('xl/worksheets/sheet1.xml'))
for c in sheet.iter('{%s}c' % ns['m']):
    if c.get('r') in ('A1', 'B2', 'C2', 'H2', 'Z2', 'AL1', 'AG2', 'AH2', 'AI3'):
        v = c.find('m:v', ns); t = c.find('m:is/m:t', ns)
        print(c.get('r'), c.get('t', 'n'), (t.text if t is not None else v.text))
print('pane', sheet.find('.//m:pane', ns).get('ySplit'), sheet.find('.//m:pane', ns).get('state'))
print('filter', sheet.find('m:autoFilter', ns).get('ref'))
)",
                                     file);
    EXPECT_EQ(cells,
              "A1 inlineStr count\n"
              "AL1 inlineStr detection beta\n"
              "B2 n 45414.35434027778\n" // 2024-05-02 08:30:15 as a date serial
              "C2 inlineStr M\xc3\xbcller, K.\n"
              "H2 n 12.5\n"
              "Z2 inlineStr \xc2\xb5Sv/h\n"
              "AG2 n 0.00648459098339988\n" // w = 0.2 / (2.5 * 0.31), r_0 = 0.02 over 600 s, t_g = 100 s
              "AH2 n 0.0199616010933606\n"
              "AI3 inlineStr not detected\n"
              "pane 1 frozen\n"
              "filter A1:AL3\n");
}

TEST_F(ListingExport, BothFilesOpenInTheOfficeSuiteWhereItIsInstalled) {
    if (std::system("command -v soffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "no soffice installed";
    for (const char* name : {"listing.csv", "listing.xlsx"}) {
        const std::string file = dir.file(name);
        auto writer = std::string(name).ends_with(".csv") ? csv_file_writer(file) : xlsx_file_writer(file);
        export_listing(db, base_select(), *writer, true, default_limits_k);
        const std::string out = dir.file(std::string("conv-") + name);
        std::filesystem::create_directory(out);
        // Headless there is no import dialog to take the byte-order mark: the CSV import is told UTF-8 (76).
        const std::string in = std::string(name).ends_with(".csv") ? "--infilter=CSV:44,34,76 " : "";
        // Its own profile folder, so a second suite running at the same time does not hold it locked.
        const std::string command = "timeout 120 soffice --headless -env:UserInstallation=file://" + dir.path() +
                                    "/office " + in +
                                    "--convert-to csv:\"Text - txt - csv (StarCalc)\":44,34,76 --outdir " + out + " " +
                                    file + " > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string text = test::read_file(out + "/listing.csv");
        EXPECT_NE(text.find("M\xc3\xbcller, K."), std::string::npos) << name;
        EXPECT_NE(text.find("\xc2\xb5Sv/h"), std::string::npos) << name;
        EXPECT_NE(text.find("12.5"), std::string::npos) << name;
    }
}

TEST_F(ListingExport, TwoXlsxExportsToOneTargetBothGiveAWholeFileAndAPlantedLinkIsNotFollowed) {
    const std::string file = dir.file("shared.xlsx");
    test::write_file(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    // What the fixed-name temporary of before would have written through.
    test::write_file(dir.file("victim"), "keep");
    std::filesystem::create_symlink(dir.file("victim"), file + ".part");
    auto first = xlsx_file_writer(file);
    auto second = xlsx_file_writer(file);
    listing_rows one(*first, false, 0), other(*second, false, 0);
    one.header();
    other.header();
    stream_results(db, base_select(), [&](const std::vector<std::string_view>& cells) {
        one.row(cells);
        other.row(cells);
    });
    first->finish();
    second->finish();
    EXPECT_EQ(python("import sys, zipfile\nprint(zipfile.ZipFile(sys.argv[1]).testzip())\n", file), "None\n");
    EXPECT_EQ(test::read_file(dir.file("victim")), "keep");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the target's permissions are kept";
}

TEST(ExportFormat, TheChosenNamesExtensionPicksTheWriter) {
    EXPECT_EQ(export_format_of("a.XLSX"), export_format::xlsx);
    EXPECT_EQ(export_format_of("a.csv"), export_format::csv);
    EXPECT_EQ(export_format_of("a.xls"), export_format::xls);
    EXPECT_EQ(export_format_of("xlsx"), export_format::xls);
}

} // namespace
