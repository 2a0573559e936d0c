// page_web.js - the page's side of Zorvane in the browser, run before the
// module starts: passes the address's settings to main() as options, lays
// out and fills the canvas, forwards resizing, visibility and saver-mode
// input to the module (shell/main_web.cpp), and runs the settings panel.
// The functions named Page* are called from the module.

// "?seed=5&blank=1" reaches main() as "--seed 5 --blank 1".
function PageArguments(search) {
    var args = [];
    new URLSearchParams(search).forEach(function (value, name) {
        args.push('--' + name, value);
    });
    return args;
}
Module['arguments'] = PageArguments(location.search);

var page = {
    canvas: document.getElementById('picture'),
    context: null,
    image: null,        // ImageData over the surface's pixels in the module's memory
    started: false,     // main() ran: the Web* functions may be called
    still: false,       // frames given: the picture alone, no panel
    query: '',          // the running picture's settings, as an address query
    width: 0, height: 0, zoom: 1,
    idleTimer: 0,
};

function PageDeviceSize() {
    var ratio = window.devicePixelRatio || 1;
    return [Math.round(window.innerWidth * ratio), Math.round(window.innerHeight * ratio)];
}

// The canvas holds the picture, width x height; the page shows each of its
// pixels as a zoom x zoom block of device pixels, unsmoothed.
function PageLayout(width, height, zoom) {
    var ratio = window.devicePixelRatio || 1;
    page.canvas.width = width;
    page.canvas.height = height;
    page.canvas.style.width = (width * zoom / ratio) + 'px';
    page.canvas.style.height = (height * zoom / ratio) + 'px';
    page.context = page.canvas.getContext('2d');
    page.image = null;
    page.width = width;
    page.height = height;
    page.zoom = zoom;
}

function PagePresent(pointer, width, height) {
    var image = page.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== pointer ||
        image.width !== width || image.height !== height)
        image = page.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pointer, width * height * 4),
                                           width, height);
    page.context.putImageData(image, 0, 0);
    if (!page.still && !document.fullscreenElement)
        PageShowCommand();
}

function PageShowMessage(text) {
    var message = document.getElementById('message');
    message.textContent = text;
    message.hidden = false;
    page.started = true;
}

function PageStarted(query, still) {
    page.started = true;
    page.query = query;
    page.still = still !== 0;
    document.body.classList.toggle('still', page.still);
    var values = new URLSearchParams(query);
    var form = document.getElementById('panel');
    ['seed', 'points', 'frame-ms', 'clear-ms'].forEach(function (name) {
        form.elements[name].value = values.get(name);
    });
    ['blank', 'rotate', 'continuous'].forEach(function (name) {
        form.elements[name].checked = values.get(name) === '1';
    });
    PageShowCommand();
}

function PageAddress(query) {
    return location.href.replace(/[?#].*$/, '') + '?' + query;
}

// The command that writes the frame shown now as a PNG. The picture is
// page.width x page.height, shown page.zoom times as large: the command
// makes it at that size with the same zoom.
function PageShowCommand() {
    var settings = new URLSearchParams(page.query);
    settings.delete('zoom');
    var command = 'zorvane-render ' + PageArguments(settings.toString()).join(' ') + ' --zoom ' + page.zoom +
        ' --width ' + page.width * page.zoom + ' --height ' + page.height * page.zoom +
        ' --frames ' + Module['_WebFrames']() + ' --out zorvane.png';
    document.getElementById('command').textContent = command;
}

// The panel's settings as a query; an empty seed is left to the clock.
function PagePanelQuery() {
    var form = document.getElementById('panel');
    var query = new URLSearchParams();
    ['seed', 'points', 'frame-ms', 'clear-ms'].forEach(function (name) {
        if (form.elements[name].value !== '')
            query.set(name, form.elements[name].value);
    });
    ['blank', 'rotate', 'continuous'].forEach(function (name) {
        query.set(name, form.elements[name].checked ? '1' : '0');
    });
    var zoom = new URLSearchParams(location.search).get('zoom');
    if (zoom !== null)
        query.set('zoom', zoom);
    return query.toString();
}

function PageEnterSaver() {
    var root = document.documentElement;
    if (!document.fullscreenElement && root.requestFullscreen)
        root.requestFullscreen().catch(function () {});
}

// Saver-mode input: kind 0 the pointer, 1 a button, 2 a key; the module
// applies the close rules.
function PageSaverInput(kind, x, y) {
    if (document.fullscreenElement && page.started && Module['_WebSaverInput'](kind, x, y))
        document.exitFullscreen().catch(function () {});
}

function PageIsField(target) {
    return target && (target.tagName === 'INPUT' || target.tagName === 'BUTTON');
}

page.canvas.addEventListener('click', PageEnterSaver);

document.addEventListener('keydown', function (e) {
    if (document.fullscreenElement) {
        e.preventDefault();
        PageSaverInput(2, 0, 0);
    } else if ((e.key === 'f' || e.key === 'F') && !e.repeat && !PageIsField(e.target)) {
        e.preventDefault();
        PageEnterSaver();
    }
});

document.addEventListener('mousedown', function () {
    PageSaverInput(1, 0, 0);
});

document.addEventListener('mousemove', function (e) {
    if (document.fullscreenElement) {
        var ratio = window.devicePixelRatio || 1;
        PageSaverInput(0, Math.round(e.screenX * ratio), Math.round(e.screenY * ratio));
        return;
    }
    // The cursor hides when the pointer rests.
    document.body.classList.remove('idle');
    clearTimeout(page.idleTimer);
    page.idleTimer = setTimeout(function () { document.body.classList.add('idle'); }, 3000);
});

document.addEventListener('fullscreenchange', function () {
    var saver = !!document.fullscreenElement;
    document.body.classList.toggle('saver', saver);
    if (saver && page.started)
        Module['_WebSaverBegin']();
});

document.addEventListener('visibilitychange', function () {
    if (page.started)
        Module['_WebVisible'](document.visibilityState !== 'hidden' ? 1 : 0);
});

window.addEventListener('resize', function () {
    if (page.started) {
        var size = PageDeviceSize();
        Module['_WebResize'](size[0], size[1]);
    }
});

document.getElementById('panel').addEventListener('submit', function (e) {
    e.preventDefault();
    location.search = '?' + PagePanelQuery();
});

document.getElementById('new-seed').addEventListener('click', function () {
    document.getElementById('panel').elements['seed'].value = String(Math.floor(Date.now() / 1000) >>> 0);
});

document.getElementById('copy-link').addEventListener('click', function () {
    var link = document.getElementById('link');
    link.value = PageAddress(page.query);
    link.hidden = false;
    link.select();
    if (navigator.clipboard)
        navigator.clipboard.writeText(link.value).catch(function () {});
});

// What the page reports, for whoever watches it (the tests among them).
window.Zorvane = {
    get started() { return page.started; },
    get frames() { return page.started ? Module['_WebFrames']() : 0; },
    get wakes() { return page.started ? Module['_WebWakes']() : 0; },
    get meanFrameTickMs() { return page.started ? Module['_WebMeanFrameTickMs']() : 0; },
    get width() { return page.width; },
    get height() { return page.height; },
    get zoom() { return page.zoom; },
};
