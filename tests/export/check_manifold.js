// Builds a solid with the manifold library (npm manifold-3d) from a binary
// STL file: corners at equal positions become one vertex, as STL readers
// join them. Prints the library's status, the volume and the triangle count;
// exits 0 only when the status is NoError, nothing was left for the
// library's own tolerant merge to join, and, given an expected volume, the
// volume is within the relative tolerance of it (default 1e-6). Exits 77 when
// the library is not installed (NODE_PATH must name its node_modules).
// Usage: node check_manifold.js file.stl [expectedVolume [tolerance]]
'use strict';
const fs = require('fs');
const path = require('path');
const url = require('url');

// The library is an ES module, which import() finds only by path: look for
// it where NODE_PATH says.
async function loadManifold() {
  for (const dir of (process.env.NODE_PATH || '').split(path.delimiter).filter(Boolean)) {
    const file = path.join(dir, 'manifold-3d', 'manifold.js');
    if (fs.existsSync(file))
      return (await import(url.pathToFileURL(file).href)).default;
  }
  console.log('manifold-3d is not installed in NODE_PATH ' + (process.env.NODE_PATH || '(unset)'));
  process.exit(77);
}

function readStl(file) {
  const bytes = fs.readFileSync(file);
  const count = bytes.length >= 84 ? bytes.readUInt32LE(80) : -1;
  if (count < 0 || bytes.length !== 84 + 50 * count)
    throw new Error(`not a binary STL of its stated size (${bytes.length} bytes)`);
  const index = new Map();
  const positions = [];
  const triangles = new Uint32Array(3 * count);
  for (let t = 0; t < count; ++t) {
    for (let c = 0; c < 3; ++c) {
      const at = 84 + 50 * t + 12 + 12 * c;
      const key = bytes.toString('hex', at, at + 12);
      if (!index.has(key)) {
        index.set(key, positions.length / 3);
        for (let i = 0; i < 3; ++i)
          positions.push(bytes.readFloatLE(at + 4 * i));
      }
      triangles[3 * t + c] = index.get(key);
    }
  }
  return {vertProperties: new Float32Array(positions), triVerts: triangles};
}

async function main() {
  const [file, expected, tolerance] = process.argv.slice(2);
  const wasm = await (await loadManifold())();
  wasm.setup();
  const soup = readStl(file);
  const mesh = new wasm.Mesh({numProp: 3, ...soup});
  const mergedFurther = mesh.merge();
  let status;
  let volume = NaN;
  try {
    const solid = new wasm.Manifold(mesh);
    status = solid.status();
    volume = solid.volume();
  } catch (e) {
    status = e.code || String(e.message || e);
  }
  console.log(`status ${status} volume ${volume} triangles ${soup.triVerts.length / 3} ` +
              `merged further ${mergedFurther ? 'yes' : 'no'}`);
  let ok = status === 'NoError' && !mergedFurther;
  if (expected !== undefined) {
    const relative = Math.abs(volume / Number(expected) - 1);
    console.log(`expected volume ${expected}, relative difference ${relative}`);
    ok = ok && relative <= Number(tolerance || 1e-6);
  }
  process.exit(ok ? 0 : 1);
}

main().catch((error) => {
  console.log('error: ' + (error.message || error));
  process.exit(1);
});
