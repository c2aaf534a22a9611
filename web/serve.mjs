// Serves a built page from 127.0.0.1 only, with the types a browser wants for WebAssembly.
// As a program: node web/serve.mjs DIR [PORT] prints the address and serves until stopped.
// The browser tests import serve() and add overrides: a path mapped to null is missing (404),
// to a string is served as that text.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";

const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
                ".bmp": "image/bmp", ".png": "image/png", ".obj": "text/plain", ".mtl": "text/plain" };

export function serve(folder, { port = 0, overrides = {}, aliases = [] } = {}) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    let url;
    try {
      url = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (Object.hasOwn(overrides, url)) {
      if (overrides[url] === null) response.writeHead(404).end();
      else response.writeHead(200, { "Content-Type": "text/plain" }).end(overrides[url]);
      return;
    }
    for (const alias of aliases) {
      if (url.startsWith(`/${alias}/`)) url = url.slice(alias.length + 1);
    }
    const file = path.join(root, path.normalize(url.endsWith("/") ? url + "index.html" : url));
    fs.stat(file, (error, stat) => {
      if (error || !stat.isFile() || !file.startsWith(root + path.sep)) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                                "Content-Length": stat.size, "Cache-Control": "no-cache" });
      fs.createReadStream(file).pipe(response);
    });
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(port, "127.0.0.1", () => resolve(server));
  });
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const [folder = "build-web", port = "8080"] = process.argv.slice(2);
  if (!fs.existsSync(path.join(folder, "index.html"))) {
    console.error(`serve: ${folder}/index.html does not exist (make web builds it)`);
    process.exit(1);
  }
  serve(folder, { port: Number(port) }).then((server) => {
    console.log(`Velmora Demo: http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
  }, (error) => {
    console.error(`serve: can't listen on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  });
}
