// Writes the seed corpus of every harness: small valid inputs of each form,
// the stream forms made by the classes' own SaveToStream.
// Usage: fuzz_make_seeds DIR (the corpus folder, tests/fuzz/corpus).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "curves/ec_gf2n.h"
#include "gf2/field_poly_lists.h"
#include "gf2/gf2_matrix.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/integers.h"
#include "integers/primes.h"
#include "integers/random.h"
#include "integers/runtime.h"
#include "integers/streams.h"

using namespace rara;

namespace {

std::filesystem::path Root;

void Write(const std::string& harness, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::filesystem::path dir = Root / harness;
  std::filesystem::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& harness, const std::string& name, const std::string& text) {
  Write(harness, name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

template <class T>
void WriteSaved(const std::string& harness, const std::string& name, const T& obj) {
  TMemoryStream s;
  obj.SaveToStream(s);
  Write(harness, name, s.Bytes());
}

std::vector<std::uint8_t> RandomBytes(std::size_t n) {
  std::vector<std::uint8_t> b(n);
  for (auto& x : b) x = static_cast<std::uint8_t>(RuvRandom());
  return b;
}

void Integers() {
  const std::int64_t small[] = {0, 1, -1, 0x100000000, -0x7FFFFFFFFFFFFFFF};
  int i = 0;
  for (const std::int64_t v : small) WriteSaved("load_integer", "value" + std::to_string(i++), TInteger(v));
  TInteger big;
  const std::vector<std::uint8_t> b = RandomBytes(200);
  big.SetDigits(b.data(), static_cast<std::int64_t>(b.size()));
  WriteSaved("load_integer", "big", big);
  big.SetNegative(true);
  WriteSaved("load_integer", "big_negative", big);
}

void Primes() {
  TPrimeList l;
  l.SetCount(10);
  WriteSaved("load_prime_list", "count10", l);
  l.SetBound(2000);
  l.SetAutoExtend(true);
  WriteSaved("load_prime_list", "bound2000", l);
}

void Polys() {
  TGF2Poly p;
  WriteSaved("load_gf2_poly", "zero", p);
  p.SetOne();
  WriteSaved("load_gf2_poly", "one", p);
  GetP1363Irreducible(p, 163);
  WriteSaved("load_gf2_poly", "p163", p);
  GF2Rnd(p, 1000, true);
  WriteSaved("load_gf2_poly", "random1000", p);

  TGF2PolyVector v;
  WriteSaved("load_poly_vector", "empty", v);
  v.Size(3);
  v.Cell(0).SetWord(7);
  GetP1363Irreducible(v.Cell(2), 64);
  WriteSaved("load_poly_vector", "three", v);

  TGF2SqrMatrix m;
  WriteSaved("load_sqr_matrix", "empty", m);
  m.SetDimension(5);
  m.SetIdentity();
  WriteSaved("load_sqr_matrix", "identity5", m);
  TGF2N f;
  f.SetField(11, btNormal);
  WriteSaved("load_sqr_matrix", "n2s11", *f.N2S());
  m.SetDimension(4);
  m.ClearRows();
  WriteSaved("load_sqr_matrix", "singular4", m);
}

void Fields() {
  TGF2N f;
  WriteSaved("load_field", "default", f);
  f.SetField(11, btStandard);
  WriteSaved("load_field", "std11", f);
  f.SetField(163, btStandard);
  WriteSaved("load_field", "std163", f);
  f.SetField(13, btNormal);
  WriteSaved("load_field", "normal13", f);
  f.SwitchBasis();
  WriteSaved("load_field", "normal13_standard", f);
  TGF2Poly p;
  GF2SetDegs(p, {17, 6, 5, 4, 3, 1, 0});  // no trinomial or pentanomial: the general kind
  f.SetField(p, btStandard, false);
  WriteSaved("load_field", "general17", f);

  TGF2NECurve c;
  WriteSaved("load_curve", "nofield", c);
  c.SetField(11, btStandard);
  WriteSaved("load_curve", "nocoefs", c);
  TGF2Poly a, b;
  a.SetOne();
  b.SetWord(0x9);
  c.SetCoefs(&a, &b);
  WriteSaved("load_curve", "std11", c);
  c.SetField(17, btNormal);
  b.SetWord(0x1F0F);
  c.SetCoefs(nullptr, &b);
  WriteSaved("load_curve", "normal17", c);
  TGF2NEPoint pt;
  WriteSaved("load_point", "zero", pt);
  RuvSeed("seed", 4);
  c.GetRndPoint(pt);
  WriteSaved("load_point", "point17", pt);
}

void Texts() {
  WriteText("text_gf2set", "bin", std::string("\x00", 1) + "1011 0001");
  WriteText("text_gf2set", "hex", "\x01" "DEAD beef 0123");
  WriteText("text_gf2set", "hex_grouped", "\x69" "8 0000000 00000c9");
  WriteText("text_gf2set", "zeros", "\x03" "00 00\t\r\n");
  WriteText("text_gf2set", "bad", "\x01" "12g4");
  TGF2Poly p;
  GetP1363Irreducible(p, 163);
  WriteText("text_field_poly", "list163", std::string("\x00", 1) + GF2DegsToStr(p, true));
  WriteText("text_field_poly", "hex163", std::string("\x00", 1) + GF2ToHexStr(p, 8));
  GetNormal(p, 131);
  WriteText("text_field_poly", "normal131", std::string("\x01") + GF2DegsToStr(p, false));
  WriteText("text_field_poly", "bad", std::string("\x00", 1) + "[163,7,,3,0]");
  const std::string params("\x40\x00\x00\x00\x0F\x00\x00\x00\xFF\x7F\x00\x00\x00\x00\x00\x00\x00", 17);
  WriteText("text_int_entry", "plain", params + "42");
  WriteText("text_int_entry", "blanks", params + " \t-2147483648 ");
  WriteText("text_int_entry", "plus", params + "+7");
  WriteText("text_int_entry", "large", std::string("\xA3\x00\x00\x00\x40\x00\x00\x00\xFF\xFF\x3F\x00\x7F\x96\x98\x00\x01", 17) + "99999999999");
}

void Cli() {
  const std::vector<std::vector<std::string>> lines = {
      {"-N", "163", "--basis", "normal"},
      {"--degree=233", "--list", "x963", "--points", "3", "--json", "out.json", "--seed", "abc"},
      {"-N131", "-f", "[131,8,3,2,0]", "--pem", "c.pem", "--checks"},
      {"-N", "64", "-k", "51", "--kmod4", "-L", "100000", "-D", "1000", "-r", "auto", "--binary"},
      {"--params-only", "--reversed", "-q", "--append", "rec.txt"},
      {"-N", "100", "--list", "gauss", "--der", "x.der"},
      {"--help"},
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string joined;
    for (const std::string& a : lines[i]) {
      if (!joined.empty()) joined.push_back('\0');
      joined.append(a);
    }
    WriteText("cli_options", "line" + std::to_string(i), joined);
  }
}

void Differential() {
  for (const std::size_t n : {2u, 9u, 70u, 300u, 1200u}) {
    std::vector<std::uint8_t> b = RandomBytes(n);
    b[0] = static_cast<std::uint8_t>(n / 8);
    Write("diff_gf2_mul", "random" + std::to_string(n), b);
    b = RandomBytes(n);
    b[0] = static_cast<std::uint8_t>(n);
    b[1] = static_cast<std::uint8_t>(n / 16);
    Write("diff_int_muldiv", "random" + std::to_string(n), b);
  }
  for (const std::uint8_t deg : {3, 11, 64, 113, 163, 251}) {
    std::vector<std::uint8_t> b = RandomBytes(80);
    b[0] = static_cast<std::uint8_t>(deg - 2);
    b[1] = deg == 11 ? 1 : 0;
    Write("diff_field_basis", "deg" + std::to_string(deg), b);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_DIR\n");
    return 2;
  }
  TRuvRuntime runtime;
  Root = argv[1];
  RuvSeed("rara fuzz seeds", 15);
  Integers();
  Primes();
  Polys();
  Fields();
  Texts();
  Cli();
  Differential();
  return 0;
}
