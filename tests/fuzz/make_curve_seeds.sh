#!/usr/bin/env bash
# Writes the seeds of the curve-file harnesses: openssl's binary curves with
# explicit parameters in DER and PEM (trinomial and pentanomial fields, with
# and without seed), and JSON in the curve database's layout and in ours.
# Usage: tests/fuzz/make_curve_seeds.sh [CORPUS_DIR]
set -euo pipefail
out="${1:-$(dirname "$0")/corpus}"
mkdir -p "$out/read_curve_der" "$out/read_curve_pem" "$out/read_curve_json"
for c in sect113r1 sect163k1 sect233r1 c2pnb163v1; do
  openssl ecparam -name "$c" -param_enc explicit -outform DER -out "$out/read_curve_der/$c.der"
  openssl ecparam -name "$c" -param_enc explicit -outform PEM -out "$out/read_curve_pem/$c.pem"
done
openssl ecparam -name sect131r1 -param_enc explicit -no_seed -outform DER -out "$out/read_curve_der/sect131r1_noseed.der"
cat >"$out/read_curve_json/toy.json" <<'JSON'
{"name": "toy", "field": {"type": "Binary", "poly": [{"power": 7, "coeff": "0x01"},
  {"power": 1, "coeff": "0x01"}, {"power": 0, "coeff": "0x01"}], "degree": 7, "bits": 7},
 "params": {"a": {"raw": "0x01"}, "b": "0x4B"},
 "generator": {"x": {"raw": "0x02"}, "y": {"raw": "0x7f"}},
 "order": "0x4f", "cofactor": 2, "seed": "00ff"}
JSON
cat >"$out/read_curve_json/normal.json" <<'JSON'
{"name": "toy normal", "field": {"type": "Binary", "basis": "normal", "poly": [{"power": 5, "coeff": "0x01"},
  {"power": 4, "coeff": "0x01"}, {"power": 2, "coeff": "0x01"}, {"power": 1, "coeff": "0x01"},
  {"power": 0, "coeff": "0x01"}], "degree": 5},
 "params": {"a": "0x1f", "b": {"raw": "0x03"}}, "order": "22", "cofactor": "0x2"}
JSON
