// Tokenizes the benchmark's generated MText with @mlightcad/mtext-parser and
// prints the best time, for comparison with bench_render (bench/compare.sh).
//   node bench/mlightcad_tokenize.mjs PARSER_JS TEXT_FILE [REPEATS]
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { resolve } from 'node:path';

const [parserPath, textPath, repeatsArg] = process.argv.slice(2);
const { MTextParser } = await import(pathToFileURL(resolve(parserPath)).href);
const text = readFileSync(textPath, 'utf8');
const repeats = Number(repeatsArg ?? 5);
let best = Infinity;
let tokens = 0;
for (let i = 0; i < repeats; ++i) {
  const start = process.hrtime.bigint();
  tokens = 0;
  for (const _ of new MTextParser(text).parse()) ++tokens;
  best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
}
console.log(`${text.length} characters, ${tokens} tokens, best of ${repeats}: ${best.toFixed(1)} ms`);
