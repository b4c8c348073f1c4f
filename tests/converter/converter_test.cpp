#include "converter/camera.h"
#include "converter/convert.h"
#include "converter/materials.h"
#include "converter/mesh_builder.h"
#include "converter/model.h"
#include "converter/options.h"
#include "converter/scene_plan.h"
#include "temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace bp::conv {
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

std::string readFile(const std::string& path) {
    std::string text;
    readWholeFile(path, text);
    return text;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

void expectNear(const Vec3& a, const Vec3& b, double tolerance = 0.01) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// The forms the golden pictures do not pass.
TEST(ConverterArguments, TheFormsTheCommandLineBuilderWrites) {
    const auto r = parseArguments(words("car.dat out/car.pov -ld -l -lc1,2,3,1,0.5,0.5 -fg-24 -o "
                                        "-c0x2FF8000 -cc1,-2,3e1 -b"));
    ASSERT_EQ(r.error, "");
    const Options& o = r.options;
    EXPECT_EQ(o.output, "out/car.pov");
    EXPECT_TRUE(o.has(Id::DefaultLights) && o.has(Id::ModelLights) && o.has(Id::Overwrite));
    ASSERT_EQ(o.lights.size(), 1u);
    EXPECT_FALSE(o.lights[0].globe);
    expectNear(o.lights[0].colour.rgb, {1, 0.5, 0.5});
    EXPECT_EQ(*o.floorY, -24);
    EXPECT_EQ(*o.defaultColour(), 0x2FF8000);
    expectNear(*o.cameraAt, {1, -2, 30});
    expectNear(o.background->rgb, {0.3, 0.8, 1});
}

TEST(ConverterArguments, ErrorsNameTheArgument) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"m.ldr", "-x"}, "unknown switch \"-x\""},
        {{"m.ldr", "-ldd"}, "unknown switch \"-ldd\""},
        {{"m.ldr", "-sw"}, "unknown switch \"-sw\""},
        {{"a.ldr", "b.pov", "c"},
         "unexpected argument \"c\" (give a model and at most one output)"},
        {{"-o"}, "no model file given"},
        {{"m.ldr", "-cg30,45,1e300"},
         "\"1e300\" is out of range (at most 1000000 either way) in \"-cg30,45,1e300\""},
        {{"m.ldr", "-cc1,nan,3"}, "\"nan\" is not a finite number in \"-cc1,nan,3\""},
        {{"m.ldr", "-fg1e7"}, "\"1e7\" is out of range (at most 1000000 either way) in \"-fg1e7\""},
        {{"m.ldr", "-lc1,2,3,inf,0,0"}, "\"inf\" is not a finite number in \"-lc1,2,3,inf,0,0\""},
        {{"m.ldr", "-cg30,45,1e6"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseArguments(c.args).error, c.error) << c.args.back();
    for (const std::string bad : {"-lgeox", "-cg30", "-cg30,45,-1", "-cc1,2", "-ca180", "-q4",
                                  "-swx", "-lg1,2,3,4,5", "-b1,2", "-fx", "-c1.5"})
        EXPECT_EQ(parseArguments({"m.ldr", bad}).error, "malformed value in \"" + bad + "\"");
}

TEST(ConverterScene, TheFittedCameraKeepsTheMarginForAnyPictureShape) {
    std::vector<Vec3> points = {{-40, -24, -20}, {40, -24, -20}, {-40, 0, -20},
                                {40, 0, -20},    {-40, -24, 20}, {40, -24, 20},
                                {-40, 0, 20},    {40, 0, 20},    {0, -60, 0}};
    for (Vec3& p : points)
        p = p + Vec3{100, 50, -30};
    const struct {
        double latitude, longitude, angle, aspect, margin;
    } cases[] = {
        {30, 45, 67.38, 4.0 / 3, 0}, {10, 200, 40, 4.0 / 3, 0},       {80, -30, 67.38, 16.0 / 9, 0},
        {-20, 90, 90, 0.5, 0},       {30, 45, 67.38, 16.0 / 9, 0.05}, {10, 200, 40, 0.5, 0.1},
        {80, -30, 67.38, 1, 0.05},
    };
    for (const auto& c : cases) {
        const Vec3 forward = globeDirection(c.latitude, c.longitude) * -1;
        const CameraPlacement cam =
            fitCamera(fitOutline(forward, points), c.angle, c.aspect, c.margin);
        const Vec3 f = (cam.lookAt - cam.location).normalized();
        expectNear(f, forward, 1e-9);
        const Vec3 right = f.cross({0, -1, 0}).normalized(), up = right.cross(f);
        const double tanH = std::tan(c.angle * M_PI / 360), tanV = tanH / c.aspect;
        // Where the points land in the picture, -1 to 1 edge to edge.
        double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
        for (const Vec3& p : points) {
            const Vec3 d = p - cam.location;
            const double x = right.dot(d) / f.dot(d) / tanH, y = up.dot(d) / f.dot(d) / tanV;
            lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
            lo[1] = std::min(lo[1], y), hi[1] = std::max(hi[1], y);
        }
        // The margin as a share of each side: the same number of pixels.
        const double shorter = std::min(c.aspect, 1.0);
        const double free[2] = {2 * c.margin * shorter / c.aspect, 2 * c.margin * shorter};
        const int touching =
            (hi[0] - lo[0]) / (1 - free[0]) > (hi[1] - lo[1]) / (1 - free[1]) ? 0 : 1;
        const int inside = 1 - touching;
        const std::string where = std::to_string(c.latitude) + "," + std::to_string(c.aspect);
        EXPECT_NEAR(lo[touching], -1 + free[touching], 1e-6) << where;
        EXPECT_NEAR(hi[touching], 1 - free[touching], 1e-6) << where;
        EXPECT_NEAR(lo[inside] + hi[inside], 0, 1e-6) << where; // centred
        EXPECT_GT(lo[inside], -1 + free[inside]) << where;
    }
}

// Two quads sharing the edge (0,0,0)-(0,0,10), the second bent by `bend`
// degrees, wound alike or not, with an edge (2) or optional (5) line on the
// shared edge or none.
std::string bentPair(double bend, int line, bool alike) {
    const double c = 10 * std::cos(bend * M_PI / 180), s = 10 * std::sin(bend * M_PI / 180);
    const std::string b = std::to_string(c) + " " + std::to_string(s);
    std::string text = "4 16 0 0 0 0 0 10 -10 0 10 -10 0 0\n";
    text += alike ? "4 16 0 0 10 0 0 0 " + b + " 0 " + b + " 10\n"
                  : "4 16 0 0 0 0 0 10 " + b + " 10 " + b + " 0\n";
    if (line == 2)
        text += "2 24 0 0 0 0 0 10\n";
    if (line == 5)
        text += "5 24 0 0 0 0 0 10 -10 0 5 " + b + " 5\n";
    return text;
}

TEST(ConverterNormals, SmoothAcrossGentleOrOptionalEdgesSharpAcrossEdgeLines) {
    const std::string cube =
        "4 16 0 0 0 10 0 0 10 10 0 0 10 0\n4 16 0 0 10 0 10 10 10 10 10 10 0 10\n"
        "4 16 0 0 0 0 0 10 0 10 10 0 10 0\n4 16 10 0 0 10 10 0 10 10 10 10 0 10\n"
        "4 16 0 0 0 0 10 0 10 10 0 10 0 0\n4 16 0 0 10 10 0 10 10 10 10 0 10 10\n";
    const struct {
        std::string what, text;
        bool smooth;
        double bend = 0; // the faces' normals at the shared edge's end halve it
    } cases[] = {
        {"gentle bend", bentPair(20, 0, true), true, 20},
        {"gentle bend wound unlike", bentPair(20, 0, false), true, 20},
        {"gentle bend under an edge line", bentPair(20, 2, true), false},
        {"steep bend", bentPair(60, 0, true), false},
        {"steep bend under an optional line", bentPair(60, 5, false), true, 60},
        {"right angle under an optional line", bentPair(90, 5, true), false},
        {"cube", cube, false},
    };
    for (const auto& c : cases) {
        LDrawFile file;
        ColourTable colours;
        parseLDraw(c.text, file, colours);
        const BuiltMeshes built = buildMeshes(file, {});
        const auto& triangles = built.meshes.back().triangles;
        ASSERT_FALSE(triangles.empty()) << c.what;
        std::size_t smooth = 0;
        std::vector<Vec3> atOrigin; // the corners on the shared edge's end
        for (const MeshTriangle& t : triangles) {
            smooth += t.smooth ? 1 : 0;
            const Vec3 face = (t.v[1] - t.v[0]).cross(t.v[2] - t.v[0]).normalized();
            for (int k = 0; k < 3 && t.smooth; ++k) {
                // Each corner's normal lies on its own face's side.
                EXPECT_GT(t.n[k].dot(face), 0) << c.what;
                if (t.v[k].length() < 1e-9) {
                    atOrigin.push_back(t.n[k]);
                    EXPECT_NEAR(t.n[k].dot(face), std::cos(c.bend * M_PI / 360), 1e-6) << c.what;
                }
            }
        }
        EXPECT_EQ(smooth > 0, c.smooth) << c.what;
        // Both faces share one normal there, up to its sign.
        for (const Vec3& n : atOrigin)
            EXPECT_NEAR(std::fabs(n.dot(atOrigin[0])), 1, 1e-9) << c.what;
    }
}

TEST(ConverterPlan, RealPartsSmoothWhereCurved) {
    Environment env;
    env.vars["LDRAWDIR"] = BRICKPOV_LDRAW_DIR;
    env.currentFolder = "/";
    const struct {
        std::string model;
        bool smooth; // some triangle of the plan has normals
    } cases[] = {
        {"parts/3626b.dat", true},  // minifig head
        {"parts/3068b.dat", false}, // tile: flat faces only
        {"parts/3001.dat", false},  // brick: its round tubes are exact solids
        {"models/car.ldr", true},
    };
    for (const auto& c : cases) {
        const auto model = loadModel(std::string(BRICKPOV_LDRAW_DIR) + "/" + c.model, env);
        ASSERT_TRUE(model->main) << c.model;
        std::vector<std::string> warnings;
        const ScenePlan plan({}, *model->main, model->colours, "", warnings);
        bool smooth = false;
        for (const ResolvedMesh& m : plan.meshes())
            for (const MeshTriangle& t : m.triangles)
                smooth = smooth || t.smooth;
        EXPECT_EQ(smooth, c.smooth) << c.model;
    }
}

TEST(ConverterModel, FlatPlacementsAreRepaired) {
    Placement flat;
    flat.m = {6, 0, 0, 0, 0, 0, 0, 0, 6};
    const Placement fixed = repairedSingular(flat);
    EXPECT_GT(std::fabs(fixed.determinant()), 1e-6);
    expectNear(fixed.apply({1, 0, 1}), flat.apply({1, 0, 1}), 1e-12);
}

// The material an LDConfig line gives, as the scene writes it; the word that
// decides it comes last, where a CR LF line end would cut it.
TEST(ConverterColours, LDConfigLinesGiveTheirMaterialWithEitherLineEnd) {
    const struct {
        std::string line;
        std::vector<std::string> written;
    } rows[] = {
        {"Black CODE 0 VALUE #1B2A34 EDGE #808080",
         {"pigment { srgb <0.1058824,0.1647059,0.2039216> } finish { BPSolidFinish }"}},
        {"Trans_Clear CODE 47 VALUE #FCFCFC EDGE #C9C9C9 ALPHA 128",
         {"pigment { srgbf <0.9882353,0.9882353,0.9882353,BPTransFilter> } finish { "
          "BPTransFinish }",
          "#if (BPQuality >= 2) interior { ior BPIor } #end"}},
        {"Chrome_Gold CODE 334 VALUE #DFC176 EDGE #C2982E CHROME", {"BPChromeFinish"}},
        {"Pearl_White CODE 183 VALUE #F6F2DF EDGE #333333 PEARLESCENT", {"BPPearlFinish"}},
        {"Metallic_Gold CODE 82 VALUE #DBAC34 EDGE #333333 METAL", {"BPMetalFinish"}},
        {"Matte_Silver CODE 9000 VALUE #898788 EDGE #333333 MATTE_METALLIC",
         {"BPMatteMetalFinish"}},
        {"Rubber_Yellow CODE 65 VALUE #FAC80A EDGE #333333 RUBBER", {"BPRubberFinish"}},
        {"Glow_In_Dark_Opaque CODE 21 VALUE #E0FFB0 EDGE #B8FF4D ALPHA 240 LUMINANCE 15",
         {"srgbf <", "BPLuminousFinish"}},
        {"Glitter_Trans_Clear CODE 117 VALUE #EEEEEE EDGE #BABABA ALPHA 128 MATERIAL "
         "GLITTER VALUE #FFFFFF FRACTION 0.08 VFRACTION 0.1 SIZE 1",
         {"cells texture_map", "[0.92 pigment { srgb <1,1,1> } finish { BPGlitterFinish }]",
          "} scale 1\n"}},
        {"Speckle_Black_Gold CODE 133 VALUE #000000 EDGE #DBAC34 MATERIAL SPECKLE VALUE "
         "#DBAC34 FRACTION 0.4 MINSIZE 1 MAXSIZE 3",
         {"[0.6 pigment { srgb <0.8588235,0.6745098,0.2039216> } finish { BPSpeckleFinish }]",
          "} scale 2\n"}},
    };
    for (const std::string end : {"\n", "\r\n"}) {
        for (const auto& row : rows) {
            ColourTable colours;
            LDrawFile ignored;
            parseLDraw("0 !COLOUR " + row.line + end + "0 // after" + end, ignored, colours);
            const int code = std::stoi(row.line.substr(row.line.find("CODE ") + 5));
            const auto colour = colours.find(code);
            ASSERT_TRUE(colour) << row.line;
            std::ostringstream out;
            writeMaterial(out, code, *colour);
            for (const std::string& part : row.written)
                EXPECT_NE(out.str().find(part), std::string::npos) << row.line << " gives\n"
                                                                   << out.str();
        }
    }
    ColourTable colours;
    ASSERT_TRUE(colours.define("!COLOUR Black CODE 0 VALUE #1B2A34 EDGE #808080\r"));
    EXPECT_EQ(colours.find(0)->edgeCode(), 0x2808080);
}

// Which lines a texmap block marks, and how: drawn with the print, only with
// it ("0 !:"), or only without it (after FALLBACK); NEXT takes one line, and
// END, STEP and the end of the file close a block.
TEST(ConverterModel, TexmapBlocksMarkTheirLines) {
    const std::string text = "0 !TEXMAP START PLANAR 0 0 0 1 0 0 0 1 0 A.png\n"
                             "3 1 0 0 0 1 0 0 0 1 0\n"
                             "0 !: 3 2 0 0 0 1 0 0 0 1 0\n"
                             "0 !TEXMAP FALLBACK\n"
                             "3 3 0 0 0 1 0 0 0 1 0\n"
                             "0 !: 3 4 0 0 0 1 0 0 0 1 0\n"
                             "0 !TEXMAP END\n"
                             "0 !TEXMAP NEXT CYLINDRICAL 0 0 0 0 -1 0 1 0 0 90 b.png\n"
                             "1 5 0 0 0 1 0 0 0 1 0 0 0 1 x.dat\n"
                             "3 6 0 0 0 1 0 0 0 1 0\n"
                             "0 !TEXMAP START SPHERICAL 0 0 0 0 0 -1 1 0 0 180 90 c.png\n"
                             "3 7 0 0 0 1 0 0 0 1 0\n"
                             "0 STEP\n"
                             "3 8 0 0 0 1 0 0 0 1 0\n"
                             "0 !TEXMAP START CONICAL 0 0 0 1 0 0 0 1 0 d.png\n"
                             "3 9 0 0 0 1 0 0 0 1 0\n";
    LDrawFile f;
    ColourTable colours;
    parseLDraw(text, f, colours);
    ASSERT_EQ(f.texmaps.size(), 3u);
    EXPECT_EQ(f.texmaps[0].image, "a.png");
    EXPECT_EQ(f.texmaps[1].projection, Projection::Cylindrical);
    EXPECT_EQ(f.texmaps[1].angleA, 90);
    EXPECT_EQ(f.texmaps[2].projection, Projection::Spherical);
    EXPECT_EQ(f.texmaps[2].angleB, 90);
    expectNear(f.texmaps[2].points[2], {1, 0, 0});
    std::vector<std::tuple<int, int, TexRole>> faces;
    for (const Face& face : f.faces)
        faces.emplace_back(face.colour, face.texmap, face.texRole);
    using enum TexRole;
    const std::vector<std::tuple<int, int, TexRole>> expected = {
        {1, 0, Textured}, {2, 0, Only},      {3, 0, Fallback}, {6, -1, Textured},
        {7, 2, Textured}, {8, -1, Textured}, {9, -1, Textured}};
    EXPECT_EQ(faces, expected);
    ASSERT_EQ(f.refs.size(), 1u);
    EXPECT_EQ(f.refs[0].texmap, 1);
    f.texmaps[0].imagePath = "/a.png";
    EXPECT_TRUE(drawn(f, 0, Only));
    EXPECT_FALSE(drawn(f, 0, Fallback));
    EXPECT_FALSE(drawn(f, 2, Only));
    EXPECT_TRUE(drawn(f, 2, Fallback));
}

TEST(ConverterModel, Base64) {
    EXPECT_EQ(decodeBase64("TWFu"), "Man");
    EXPECT_EQ(decodeBase64("TW\r\nE="), "Ma");
    EXPECT_EQ(decodeBase64(" TQ== "), "M");
    EXPECT_EQ(decodeBase64(""), "");
    for (const char* bad : {"TW!u", "T", "TQ==TQ==", "TQ==="})
        EXPECT_EQ(decodeBase64(bad), std::nullopt) << bad;
}

TEST(ConverterLibrary, SearchOrderAndNameRules) {
    test::TempFolder t;
    const std::string lib = t.path() + "lib/", model = t.path() + "model/";
    writeFile(lib + "P/Stud.DAT", "0 p");
    writeFile(lib + "P/48/4-4CYLI.dat", "0 p48");
    writeFile(lib + "PARTS/3001.dat", "0 parts");
    writeFile(lib + "parts/S/3001s01.dat", "0 sub");
    writeFile(lib + "Parts/both.dat", "0 parts");
    writeFile(lib + "P/both.dat", "0 p");
    writeFile(lib + "unofficial/parts/both.dat", "0 unofficial");
    writeFile(lib + "Unofficial/parts/new.dat", "0 unofficial");
    writeFile(lib + "models/car.ldr", "0 models");
    writeFile(model + "3001.DAT", "0 model folder");
    Library library(lib, model);
    const struct {
        std::string name, text;
        Origin origin;
    } cases[] = {
        {"stud.dat", "0 p", Origin::Primitives},
        {"48\\4-4cyli.dat", "0 p48", Origin::Primitives},
        {"S\\3001S01.DAT", "0 sub", Origin::Parts},
        {"s/3001s01.dat", "0 sub", Origin::Parts},
        {"3001.dat", "0 model folder", Origin::ModelFolder},
        {"both.dat", "0 p", Origin::Primitives},
        {"new.dat", "0 unofficial", Origin::Parts},
        {"CAR.LDR", "0 models", Origin::Models},
    };
    for (const auto& c : cases) {
        const auto found = library.find(c.name);
        ASSERT_TRUE(found) << c.name;
        EXPECT_EQ(readFile(found->path), c.text) << c.name;
        EXPECT_EQ(found->origin, c.origin) << c.name;
    }
    EXPECT_FALSE(library.find("nowhere.dat"));
    EXPECT_FALSE(library.find("../model/3001.dat"));
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome convert(const std::vector<std::string>& args, const Environment& env) {
    std::ostringstream out, err;
    const int status = runConverter(args, env, out, err);
    return {status, out.str(), err.str()};
}

class ConverterRun : public ::testing::Test {
  protected:
    void SetUp() override {
        m_env.currentFolder = m_t.path();
        m_env.vars["HOME"] = m_t.path() + "home";
        m_env.vars["LDRAWDIR"] = m_t.path() + "lib";
        writeFile(m_t.path() + "lib/LDConfig.ldr",
                  "0 !COLOUR Red CODE 4 VALUE #C91A09 EDGE #333333\n"
                  "0 !COLOUR Grey CODE 7 VALUE #8A928D EDGE #333333\n"
                  "0 !COLOUR Yellow CODE 14 VALUE #FAC80A EDGE #333333\n");
        writeFile(m_t.path() + "lib/parts/box.dat",
                  "0 Box\n0 !LDRAW_ORG Part\n3 16 0 0 0 10 0 0 0 0 10\n3 14 0 0 0 0 10 0 0 0 10\n");
    }
    test::TempFolder m_t;
    Environment m_env;
};

TEST_F(ConverterRun, StatusesAndWhatIsWritten) {
    writeFile(m_t.path() + "m.ldr", "0 M\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n");
    writeFile(m_t.path() + "gap.ldr", "0 Gap\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n"
                                      "\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 Nowhere.dat\n");
    Outcome r = convert({"m.ldr", "-zz"}, m_env);
    EXPECT_EQ(r.status, kUsage);
    EXPECT_NE(r.err.find("-zz"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_t.path() + "m.pov"));

    EXPECT_EQ(convert({"m.ldr"}, m_env).status, kConverted);
    writeFile(m_t.path() + "m.pov", "mine");
    r = convert({"m.ldr"}, m_env);
    EXPECT_EQ(r.status, kFailed);
    EXPECT_NE(r.err.find("-o"), std::string::npos);
    EXPECT_EQ(readFile(m_t.path() + "m.pov"), "mine");
    EXPECT_EQ(convert({"m.ldr", "-o"}, m_env).status, kConverted);
    EXPECT_NE(readFile(m_t.path() + "m.pov"), "mine");

    r = convert({"gap.ldr", "out/"}, m_env);
    EXPECT_EQ(r.status, kFailed); // the folder does not exist
    fs::create_directory(m_t.path() + "out");
    r = convert({"gap.ldr", "out/"}, m_env);
    EXPECT_EQ(r.status, kWithWarnings);
    EXPECT_NE(r.err.find("\"nowhere.dat\""), std::string::npos);
    EXPECT_NE(r.err.find("gap.ldr line 4"), std::string::npos);
    EXPECT_TRUE(fs::exists(m_t.path() + "out/gap.pov"));

    EXPECT_EQ(convert({"nothing.ldr"}, m_env).status, kFailed);
    r = convert({"-upd"}, m_env);
    EXPECT_EQ(r.status, kConverted);
    EXPECT_NE(r.out.find("updates do not apply"), std::string::npos);
    EXPECT_NE(convert({"--help"}, m_env).out.find("Exit status"), std::string::npos);
}

TEST_F(ConverterRun, NothingToDrawIsAWarningAndTheSceneServesEveryPictureSize) {
    writeFile(m_t.path() + "empty.ldr", "0 Nothing\nhello world\n7 1 2 3\n");
    Outcome r = convert({"empty.ldr"}, m_env);
    EXPECT_EQ(r.status, kWithWarnings);
    EXPECT_NE(r.err.find("draws nothing"), std::string::npos) << r.err;

    writeFile(m_t.path() + "m.ldr", "0 M\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n");
    r = convert({"m.ldr"}, m_env);
    ASSERT_EQ(r.status, kConverted) << r.err;
    const std::string pov = readFile(m_t.path() + "m.pov");
    EXPECT_NE(pov.find("right -x*image_width/image_height\n"), std::string::npos);
    EXPECT_NE(pov.find("#ifndef (BPMargin) #declare BPMargin = 0.05; #end"), std::string::npos);
}

TEST_F(ConverterRun, DeepAndExplodingTreesAreWalkedOncePerFile) {
    // 14,000 submodels each placing the next one LDU further on.
    constexpr int kDeep = 14000;
    std::string deep = "0 FILE main.ldr\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 s1.ldr\n";
    for (int i = 1; i < kDeep; ++i)
        deep += "0 FILE s" + std::to_string(i) + ".ldr\n1 16 1 0 0 1 0 0 0 1 0 0 0 1 s" +
                std::to_string(i + 1) + ".ldr\n";
    deep += "0 FILE s" + std::to_string(kDeep) + ".ldr\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n";
    writeFile(m_t.path() + "deep.mpd", deep);
    // Eight levels, each placing the next ten times 30 LDU apart: as
    // submodels, and as parts.
    std::string models = "0 FILE main.ldr\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 m1.ldr\n";
    for (int i = 1; i <= 8; ++i) {
        const std::string name = "x" + std::to_string(i), next = "x" + std::to_string(i + 1);
        models += "0 FILE m" + std::to_string(i) + ".ldr\n";
        std::string part = "0 Level " + std::to_string(i) + "\n0 !LDRAW_ORG Part\n";
        for (int k = 0; k < (i < 8 ? 10 : 1); ++k) {
            const std::string at = std::to_string(k * 30) + " 0 0 1 0 0 0 1 0 0 0 1 ";
            models +=
                "1 16 " + at + (i < 8 ? "m" + std::to_string(i + 1) + ".ldr" : "box.dat") + "\n";
            part += "1 16 " + at + (i < 8 ? next + ".dat" : "box.dat") + "\n";
        }
        writeFile(m_t.path() + "lib/parts/" + name + ".dat", part);
    }
    writeFile(m_t.path() + "models.mpd", models);
    writeFile(m_t.path() + "parts.ldr", "1 4 0 0 0 1 0 0 0 1 0 0 0 1 x1.dat\n");
    const struct {
        std::string model;
        std::uint64_t parts;
        double lowX, highX;
        std::size_t boxes; // placed, up to a limit of 5000
    } cases[] = {
        {"deep.mpd", 1, kDeep - 1, kDeep + 9, 1},
        {"models.mpd", 10000000, 0, 7 * 270 + 10, 5000},
        {"parts.ldr", 1, 0, 7 * 270 + 10, 5000},
    };
    for (const auto& c : cases) {
        const auto model = loadModel(m_t.path() + c.model, m_env);
        ASSERT_TRUE(model->main) << c.model;
        const ScenePlan plan({}, *model->main, model->colours, "", model->warnings);
        EXPECT_EQ(plan.partCount(), c.parts) << c.model;
        EXPECT_NEAR(plan.bounds().lo.x, c.lowX, 1e-6) << c.model;
        EXPECT_NEAR(plan.bounds().hi.x, c.highX, 1e-6) << c.model;
        EXPECT_NEAR(plan.bounds().hi.z, 10, 1e-6) << c.model;
        std::size_t boxes = 0;
        EXPECT_EQ(plan.forEachInstance([&](auto&&...) { ++boxes; }, 5000), c.boxes < 5000);
        EXPECT_EQ(boxes, c.boxes) << c.model;
    }
}

// An image embedded in the model is written beside the scene and printed;
// a missing one is named, and the geometry without the print is drawn.
TEST_F(ConverterRun, PrintsFromEmbeddedImagesAndTheirFallback) {
    writeFile(m_t.path() + "m.mpd", "0 FILE m.ldr\n"
                                    "0 !TEXMAP START PLANAR 0 0 0 10 0 0 0 0 10 dot.png\n"
                                    "0 !: 3 16 0 0 0 10 0 0 0 0 10\n"
                                    "0 !TEXMAP FALLBACK\n"
                                    "3 4 0 0 0 10 0 0 0 0 10\n"
                                    "0 !TEXMAP END\n"
                                    "0 !TEXMAP NEXT PLANAR 0 0 0 10 0 0 0 0 10 Nowhere.png\n"
                                    "0 !: 3 2 0 0 0 10 0 0 0 0 10\n"
                                    "3 14 0 0 0 10 0 0 0 0 10\n"
                                    "1 1 20 0 0 1 0 0 0 1 0 0 0 1 sq.ldr\n"
                                    "0 NOFILE\n"
                                    "0 FILE sq.ldr\n"
                                    "0 !TEXMAP NEXT CYLINDRICAL 0 0 0 0 -10 0 0 0 -10 90 dot.png\n"
                                    "3 16 0 0 0 10 0 0 0 0 10\n"
                                    "0 NOFILE\n"
                                    "0 !DATA dot.png\n"
                                    "0 !: iVBO\n"
                                    "0 !: Rw==\n");
    const Outcome r = convert({"m.mpd"}, m_env);
    EXPECT_EQ(r.status, kWithWarnings);
    EXPECT_NE(r.err.find("\"nowhere.png\" (asked for by " + m_t.path() + "m.mpd line 7)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(readFile(m_t.path() + "m-dot.png"), "\x89PNG");
    const std::string pov = readFile(m_t.path() + "m.pov");
    EXPECT_NE(pov.find("image_map { png \"" + m_t.path() + "m-dot.png\" once"), std::string::npos);
    // The image's top left at the first point, its top edge toward the second.
    EXPECT_NE(pov.find("BPModel_print0 = texture { pigment { image_map { png"), std::string::npos);
    EXPECT_NE(pov.find("matrix <10,0,0,0,0,-10,0,1,0,0,0,10> }"), std::string::npos);
    EXPECT_NE(pov.find("texture { BPTex7 } texture { BPModel_print0 }"), std::string::npos);
    // A print over the caller's colour: a macro of it, a quarter turn round.
    EXPECT_NE(pov.find("0.5 - atan2(z, x) / 1.570796, y, 0).red"), std::string::npos);
    EXPECT_NE(pov.find("#macro BP1_sq_ldr(BPBase)"), std::string::npos);
    EXPECT_NE(pov.find("texture { BPBase } texture { BP1_sq_ldr_print0 }"), std::string::npos);
    EXPECT_NE(pov.find("object { BP1_sq_ldr(BPTex1) matrix"), std::string::npos);
    EXPECT_EQ(pov.find("BPColor4 "), std::string::npos);  // the first block's fallback
    EXPECT_NE(pov.find("BPColor14 "), std::string::npos); // the second's plain line
}

TEST_F(ConverterRun, TheLibraryComesFromLDrawIniWithoutLDRAWDIR) {
    m_env.vars.erase("LDRAWDIR");
    writeFile(m_t.path() + "m.ldr", "0 M\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n");
    EXPECT_EQ(convert({"m.ldr"}, m_env).status, kWithWarnings);
    writeFile(m_t.path() + "home/.config/LDraw.INI",
              "[LDraw]\nBaseDirectory=\"" + m_t.path() + "lib\"\n");
    const Outcome r = convert({"m.ldr", "-o"}, m_env);
    EXPECT_EQ(r.status, kConverted) << r.err;
    EXPECT_NE(r.out.find("Library: " + m_t.path() + "lib/"), std::string::npos);
}

} // namespace
} // namespace bp::conv
