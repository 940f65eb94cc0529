#!/usr/bin/env python3
"""A loopback release-feed server for tests. Prints its port, then serves until it has run for
--lifetime seconds (it always stops by itself).

  /feed?version=V   a feed whose one release has version V (short version "9.9")
  /malformed        a feed cut off in the middle
  /oversized?declared=0|1   2 MiB of feed, with or without a Content-Length
  /slow?delay=S     a newer feed after S seconds
  /trickle?interval=S   a newer feed, one byte every S seconds
  /huge?megabytes=N&declared=0|1   a feed padded to N MiB, streamed, with or without a Content-Length
  /redirect?to=URL  a redirect to URL
"""
import argparse
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse

FEED = """<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Halomark</title><item><title>Halomark</title>
<sparkle:version>{version}</sparkle:version><sparkle:shortVersionString>9.9</sparkle:shortVersionString>
<sparkle:releaseNotesLink>https://example.org/notes</sparkle:releaseNotesLink>
<enclosure url="https://example.org/Halomark.tar.gz" length="1" type="application/octet-stream"/>
</item></channel></rss>
"""


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_body(self, body, declared=True, status=200):
        self.send_response(status)
        self.send_header("Content-Type", "application/rss+xml")
        if declared:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def trickle(self, body, interval):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            for byte in body:
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(interval)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def stream_padded(self, megabytes, declared):
        head = FEED.format(version="2").encode() + b"<!-- "
        chunk = b"x" * (1024 * 1024)
        total = len(head) + megabytes * len(chunk) + 4
        self.send_response(200)
        if declared:
            self.send_header("Content-Length", str(total))
        self.end_headers()
        try:
            self.wfile.write(head)
            for _ in range(megabytes):
                self.wfile.write(chunk)
            self.wfile.write(b" -->")
        except (BrokenPipeError, ConnectionResetError):
            pass

    def do_GET(self):
        url = urlparse(self.path)
        query = {key: values[0] for key, values in parse_qs(url.query).items()}
        if url.path == "/feed":
            self.send_body(FEED.format(version=query.get("version", "1")).encode())
        elif url.path == "/malformed":
            self.send_body(FEED.format(version="2")[:200].encode())
        elif url.path == "/oversized":
            padding = "<!-- " + "x" * (2 * 1024 * 1024) + " -->"
            self.send_body((FEED.format(version="2") + padding).encode(), query.get("declared") == "1")
        elif url.path == "/slow":
            time.sleep(float(query.get("delay", "5")))
            self.send_body(FEED.format(version="2").encode())
        elif url.path == "/trickle":
            self.trickle(FEED.format(version="2").encode(), float(query.get("interval", "1")))
        elif url.path == "/huge":
            self.stream_padded(int(query.get("megabytes", "100")), query.get("declared") == "1")
        elif url.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", query["to"])
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            self.send_body(b"not here", status=404)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lifetime", type=float, default=120)
    lifetime = parser.parse_args().lifetime
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    threading.Timer(lifetime, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
