// The page's service worker: the first visit over http(s) keeps the page's
// files, and from then on it plays offline. A new release (another
// @VERSION@) drops the files of the old one.
'use strict';
var cache = 'drelvan-@VERSION@';
var files = ['./', 'index.html', 'manifest.webmanifest', 'icon-192.png', 'icon-512.png'];

self.addEventListener('install', function (event) {
    event.waitUntil(caches.open(cache).then(function (store) { return store.addAll(files); })
        .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
    event.waitUntil(caches.keys().then(function (names) {
        return Promise.all(names.filter(function (name) { return name !== cache; })
            .map(function (name) { return caches.delete(name); }));
    }).then(function () { return self.clients.claim(); }));
});

// The kept files first; anything else of this origin from the network.
self.addEventListener('fetch', function (event) {
    if (event.request.method !== 'GET' || new URL(event.request.url).origin !== location.origin)
        return;
    event.respondWith(caches.open(cache).then(function (store) {
        return store.match(event.request, { ignoreSearch: true }).then(function (kept) {
            return kept || fetch(event.request);
        });
    }));
});
