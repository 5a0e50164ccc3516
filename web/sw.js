// The page's service worker: the first visit over http(s) keeps the page's
// files, and from then on it plays offline. A release keeps its files in a
// cache of its own (@VERSION@), and takes over only once it has them all, each
// checked against the hash it was built with: a server caught half-way
// through an update (a new sw.js beside an old index.html) or a stale copy in
// the browser's HTTP cache fails the check, and the release before stays in
// place, whole, until the next try. Taking over drops the old release's
// cache; the page then reloads itself (web/page.js).
'use strict';
var cache = 'drelvan-@VERSION@';
var files = @FILES@;

self.addEventListener('install', function (event) {
    var names = Object.keys(files);
    event.waitUntil(Promise.all(names.map(function (name) {
        return fetch(new Request(name, { cache: 'no-cache', integrity: files[name] })).then(function (response) {
            if (!response.ok)
                throw new Error(name + ': ' + response.status);
            return response;
        });
    })).then(function (responses) {
        return caches.open(cache).then(function (store) {
            return Promise.all(responses.map(function (response, at) { return store.put(names[at], response); }));
        });
    }).then(function () { return self.skipWaiting(); }));
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
