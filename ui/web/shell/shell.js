// SPDX-License-Identifier: MIT
// The page around the program: it makes the controls the program's layout
// names, reads and writes them for it, and tells it what the user does. The
// behaviour (the computation, the texts, the settings) is the program's;
// here are only the DOM, the dialogs, dragging and the page's life.
'use strict';

// The program's code, compiled while it still downloads, before its loader
// runs and while the page sets itself up.
const compiling = typeof WebAssembly.compileStreaming === 'function'
    ? WebAssembly.compileStreaming(fetch('cttax.wasm', {credentials: 'same-origin'})) : null;
// The locale's decimal symbol. The first use of the browser's locale data in
// a page takes a while (about 12 ms): the service worker, which keeps it,
// answers it instead, while the page loads; without one, the page looks it up.
function localeDecimalSymbol() {
    const part = new Intl.NumberFormat(navigator.language).formatToParts(1.5).find((p) => p.type === 'decimal');
    return part ? part.value : '.';
}
const decimalLookup = navigator.serviceWorker && navigator.serviceWorker.controller
    ? fetch('locale-decimal-symbol').then((answer) => (answer.ok ? answer.text() : null)).catch(() => null)
    : Promise.resolve(null);

// The stored settings opened meanwhile too (the first use of the storage
// opens its database); the program reads them itself.
try {
    localStorage.getItem('cttax.fig');
} catch (error) {
    // refused: the program reports it when it reads
}

const cttaxShell = (() => {
    const desktop = () => document.getElementById('desktop');
    let frame, client, group, panel, help;
    const boxes = {};
    const items = [];
    let audio = null;
    let decimalSymbol = null;
    const dialogQueue = [];
    let returnFocus = null;

    function element(tag, className, parent) {
        const made = document.createElement(tag);
        if (className)
            made.className = className;
        if (parent)
            parent.appendChild(made);
        return made;
    }

    // "&File" -> "File" with the F underlined; returns the access letter.
    function withAccessKey(target, text) {
        const at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.length) {
            target.textContent = text;
            return '';
        }
        target.append(text.slice(0, at));
        element('u', '', target).textContent = text[at + 1];
        target.append(text.slice(at + 2));
        return text[at + 1].toLowerCase();
    }

    // A window's outer size, from the sizes the page gave it (its border, title
    // bar, menu bar and client area: see cttax.css) rather than read back,
    // so the start lays the page out once, when it is first drawn.
    const chrome = {border: 2, titleBar: 24, menuBar: 21};
    function outerSize(win) {
        const area = win.querySelector('.client');
        const menu = win.querySelector('.menubar') ? chrome.menuBar : 0;
        return {width: parseFloat(area.style.width) + chrome.border,
                height: parseFloat(area.style.height) + chrome.border + chrome.titleBar + menu};
    }

    // Moved by its title bar, its title bar kept in the view.
    function draggable(win, bar) {
        bar.addEventListener('pointerdown', (event) => {
            if (event.button !== 0 || event.target.closest('button'))
                return;
            const startX = event.clientX - win.offsetLeft, startY = event.clientY - win.offsetTop;
            bar.setPointerCapture(event.pointerId);
            const move = (e) => place(win, e.clientX - startX, e.clientY - startY);
            const end = () => {
                bar.removeEventListener('pointermove', move);
                bar.removeEventListener('pointerup', end);
                bar.removeEventListener('pointercancel', end);
            };
            bar.addEventListener('pointermove', move);
            bar.addEventListener('pointerup', end);
            bar.addEventListener('pointercancel', end);
        });
    }

    function place(win, x, y) {
        const grip = 40;
        x = Math.min(Math.max(x, grip - outerSize(win).width), window.innerWidth - grip);
        y = Math.min(Math.max(y, 0), Math.max(0, window.innerHeight - 24));
        win.style.left = Math.round(x) + 'px';
        win.style.top = Math.round(y) + 'px';
    }

    // Scaled down as a whole where the view is narrower than the window.
    function fitToView() {
        if (!frame)
            return;
        const scale = Math.min(1, window.innerWidth / outerSize(frame).width);
        frame.style.transform = scale < 1 ? `scale(${scale})` : '';
        if (scale < 1)
            frame.style.left = '0px';
        else
            place(frame, parseFloat(frame.style.left) || 0, parseFloat(frame.style.top) || 0);
    }

    function titleBar(win, title, onClose) {
        const bar = element('div', 'titlebar', win);
        const caption = element('span', 'caption', bar);
        caption.textContent = title;
        const close = element('button', '', bar);
        close.type = 'button';
        close.textContent = '\u00d7';
        close.setAttribute('aria-label', 'Close');
        close.addEventListener('click', onClose);
        draggable(win, bar);
        return caption;
    }

    function command(which) {
        closeMenus();
        Module._cttax_command(which);
    }

    function closeMenus() {
        for (const menu of document.querySelectorAll('.menu'))
            menu.hidden = true;
        for (const button of document.querySelectorAll('.menubar > button'))
            button.setAttribute('aria-expanded', 'false');
    }

    function exportSettings() {
        closeMenus();
        const lengthAt = Module._malloc(4);
        const bytesAt = Module._cttax_export(lengthAt);
        const length = Module.HEAP32[lengthAt >> 2];
        const bytes = Module.HEAPU8.slice(bytesAt, bytesAt + length);
        Module._free(bytesAt);
        Module._free(lengthAt);
        if (length === 0)
            return; // storing failed, and was reported
        const link = element('a', '', document.body);
        link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
        link.download = 'cttax.fig';
        link.click();
        setTimeout(() => { URL.revokeObjectURL(link.href); link.remove(); }, 0);
    }

    function importSettings() {
        closeMenus();
        const picker = document.getElementById('import-file');
        picker.value = '';
        picker.onchange = async () => {
            const file = picker.files[0];
            if (!file)
                return;
            const bytes = new Uint8Array(await file.arrayBuffer());
            const at = Module._malloc(bytes.length + 1);
            Module.HEAPU8.set(bytes, at);
            Module._cttax_import(at, bytes.length);
            Module._free(at);
        };
        picker.click();
    }

    function makeMenuBar(parent, texts) {
        const bar = element('div', 'menubar', parent);
        bar.setAttribute('role', 'menubar');
        const keys = {};
        const file = element('button', '', bar);
        file.type = 'button';
        file.setAttribute('aria-haspopup', 'menu');
        file.setAttribute('aria-expanded', 'false');
        const fileKey = withAccessKey(file, texts.file);
        const menu = element('div', 'menu', bar);
        menu.setAttribute('role', 'menu');
        menu.hidden = true;
        const entries = [[texts.exit, () => command(0)], ['E&xport Settings\u2026', exportSettings],
                         ['&Import Settings\u2026', importSettings]];
        const menuKeys = {};
        for (const [text, run] of entries) {
            const entry = element('button', '', menu);
            entry.type = 'button';
            entry.setAttribute('role', 'menuitem');
            menuKeys[withAccessKey(entry, text)] = run;
            entry.addEventListener('click', run);
        }
        const openFile = () => {
            const opening = menu.hidden;
            closeMenus();
            menu.hidden = !opening;
            file.setAttribute('aria-expanded', String(opening));
            if (opening)
                menu.querySelector('button').focus();
        };
        file.addEventListener('click', openFile);
        keys[fileKey] = openFile;
        menu.addEventListener('keydown', (event) => {
            const buttons = [...menu.querySelectorAll('button')];
            const at = buttons.indexOf(document.activeElement);
            if (event.key === 'Escape') {
                closeMenus();
                file.focus();
            } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
                buttons[(at + (event.key === 'ArrowDown' ? 1 : buttons.length - 1)) % buttons.length].focus();
            } else if (menuKeys[event.key.toLowerCase()] && !event.altKey && !event.ctrlKey) {
                menuKeys[event.key.toLowerCase()]();
            } else {
                return;
            }
            event.preventDefault();
        });
        for (const [text, which] of [[texts.help, 1], [texts.home, 2]]) {
            const button = element('button', '', bar);
            button.type = 'button';
            keys[withAccessKey(button, text)] = () => command(which);
            button.addEventListener('click', () => command(which));
        }
        // Alt and the access letter, where the browser leaves the key to the page.
        document.addEventListener('keydown', (event) => {
            if (event.altKey && !event.ctrlKey && !event.metaKey && keys[event.key.toLowerCase()] && frame && !frame.hidden) {
                event.preventDefault();
                keys[event.key.toLowerCase()]();
            }
        });
        document.addEventListener('pointerdown', (event) => {
            if (!event.target.closest('.menubar'))
                closeMenus();
        });
    }

    function showNextDialog() {
        const dialog = document.getElementById('dialog');
        if (dialog.open || dialogQueue.length === 0)
            return;
        const {kind, title, text} = dialogQueue.shift();
        if (!returnFocus)
            returnFocus = document.activeElement;
        dialog.className = kind;
        document.getElementById('dialog-title').textContent = title;
        document.getElementById('dialog-text').textContent = text;
        dialog.showModal();
        document.getElementById('dialog-ok').focus();
    }

    function setUpDialog() {
        const dialog = document.getElementById('dialog');
        document.getElementById('dialog-ok').addEventListener('click', () => dialog.close());
        dialog.addEventListener('close', () => {
            if (dialogQueue.length > 0) {
                showNextDialog();
                return;
            }
            if (returnFocus && returnFocus.focus)
                returnFocus.focus();
            returnFocus = null;
        });
    }

    // Text set in the browser runs a little wider than the desktop's hinted
    // text: the captions' face is made half a pixel smaller until every
    // result caption ends before its box, as the Windows window does at
    // higher DPIs. Measured on a canvas, so the page is laid out only once.
    function fitCaptions() {
        const captions = [...panel.querySelectorAll('span.control')];
        const style = captions[0].style;
        const size = parseFloat(style.fontSize);
        const measure = document.createElement('canvas').getContext('2d');
        const font = (px) => `${style.fontWeight} ${px}px ${style.fontFamily}`;
        const room = (caption) => parseFloat(caption.nextElementSibling.style.left) - parseFloat(caption.style.left);
        // Text widths grow with the size: the largest half pixel at which the
        // tightest caption fits, then checked.
        measure.font = font(size);
        let tightest = 1;
        for (const caption of captions)
            tightest = Math.min(tightest, room(caption) / measure.measureText(caption.textContent).width);
        if (tightest >= 1)
            return;
        let px = Math.floor(size * tightest * 2) / 2;
        const fits = () => {
            measure.font = font(px);
            return captions.every((caption) => measure.measureText(caption.textContent).width <= room(caption));
        };
        while (!fits() && px > size - 4)
            px -= 0.5;
        for (const control of client.querySelectorAll('.control'))
            if (parseFloat(control.style.fontSize) === size && control.style.fontWeight === style.fontWeight)
                control.style.fontSize = px + 'px';
    }

    return {
        fitCaptions,

        makeFrame(title, file, exit, helpText, home, width, height, background) {
            document.title = title;
            frame = element('section', 'frame', desktop());
            frame.id = 'OstrelF';
            frame.setAttribute('aria-label', title);
            titleBar(frame, title, () => command(0));
            makeMenuBar(frame, {file, exit, help: helpText, home});
            client = element('div', 'client', frame);
            client.style.width = width + 'px';
            client.style.height = height + 'px';
            client.style.background = background;
            setUpDialog();
            window.addEventListener('resize', fitToView);
        },

        makeControl(kind, name, parentName, left, top, width, height, caption, accessibleName, font, colour,
                    background) {
            const parent = parentName === 'group' ? group : parentName === 'panel' ? panel : client;
            let made;
            if (kind === 'label') {
                made = element('span', 'control', parent);
                made.textContent = caption;
                if (caption === '$')
                    made.setAttribute('aria-hidden', 'true');
            } else if (kind === 'input' || kind === 'result') {
                made = element('input', 'control ' + kind, parent);
                made.type = 'text';
                made.value = caption;
                made.autocomplete = 'off';
                made.spellcheck = false;
                made.setAttribute('aria-label', accessibleName);
                if (kind === 'result') {
                    made.readOnly = true;
                } else {
                    made.inputMode = 'decimal';
                    const box = name === 'Edit1' ? 0 : 1;
                    made.addEventListener('input', () => Module._cttax_box_changed(box));
                }
                boxes[name] = made;
            } else if (kind === 'group') {
                made = group = element('fieldset', 'control', parent);
                made.setAttribute('role', 'radiogroup');
                made.setAttribute('aria-label', accessibleName);
                element('legend', '', made).textContent = caption;
            } else if (kind === 'item') {
                made = element('label', 'control item', parent);
                const radio = element('input', '', made);
                radio.type = 'radio';
                radio.name = 'status';
                radio.addEventListener('change', () => Module._cttax_status_chosen());
                made.append(caption);
                items.push(radio);
            } else {
                made = panel = element('div', 'control panel', parent);
            }
            made.id = name;
            made.style.cssText += `left:${left}px;top:${top}px;width:${width}px;height:${height}px;` +
                                  `${font};color:${colour};background:${background}`;
        },

        boxText: (name) => boxes[name].value,
        setBoxText(name, text) {
            boxes[name].value = text;
        },
        statusIndex: () => items.findIndex((radio) => radio.checked),
        setStatusIndex(index) {
            items.forEach((radio, i) => { radio.checked = i === index; });
        },
        focusStatusItem: (index) => items[index].focus({preventScroll: true}),

        placeFrame(x, y) {
            frame.style.left = x + 'px';
            frame.style.top = y + 'px';
            fitToView();
        },
        frameRect: () => ({x: parseFloat(frame.style.left) || 0, y: parseFloat(frame.style.top) || 0, ...outerSize(frame)}),
        viewSize: () => ({width: window.innerWidth, height: window.innerHeight}),

        closeWindow() {
            frame.hidden = true;
            if (help)
                help.hidden = true;
            const note = element('div', 'closed', desktop());
            note.setAttribute('role', 'status');
            note.append('cttax has closed; its figures are kept in this browser. ');
            const again = element('button', '', note);
            again.type = 'button';
            again.textContent = 'Open again';
            again.addEventListener('click', () => location.reload());
            again.focus();
        },

        makeHelp(title, text, width, height, boxLeft, boxTop, boxWidth, boxHeight, font, colour, background) {
            help = element('section', 'frame help', desktop());
            help.id = 'OstrelFhelp';
            help.setAttribute('aria-label', title);
            help.hidden = true;
            titleBar(help, title, () => { help.hidden = true; });
            const area = element('div', 'client', help);
            area.style.width = width + 'px';
            area.style.height = height + 'px';
            area.dataset.height = height;
            const memo = element('textarea', '', area);
            memo.dataset.height = boxHeight;
            memo.readOnly = true;
            memo.value = text;
            memo.setAttribute('aria-label', 'Instructions');
            memo.style.cssText = `left:${boxLeft}px;top:${boxTop}px;width:${boxWidth}px;height:${boxHeight}px;` +
                                 `${font};color:${colour};background:${background}`;
            help.addEventListener('keydown', (event) => {
                if (event.key === 'Escape') {
                    help.hidden = true;
                    event.preventDefault();
                }
            });
        },
        showHelp() {
            help.hidden = false;
            // Never taller than the view: the text box is shortened and scrolls.
            const area = help.querySelector('.client'), memo = help.querySelector('textarea');
            const designed = parseInt(area.dataset.height, 10), box = parseInt(memo.dataset.height, 10);
            const room = Math.max(120, window.innerHeight - (help.offsetHeight - area.offsetHeight));
            area.style.height = Math.min(designed, room) + 'px';
            memo.style.height = (box - Math.max(0, designed - room)) + 'px';
            desktop().appendChild(help); // in front
            memo.focus({preventScroll: true});
        },

        helpSize: () => outerSize(help),
        placeHelp: (x, y) => place(help, x, y),

        showDialog(kind, title, text) {
            dialogQueue.push({kind, title, text});
            showNextDialog();
        },
        beep() {
            try {
                audio = audio || new AudioContext();
                const tone = audio.createOscillator();
                const gain = audio.createGain();
                tone.type = 'square';
                tone.frequency.value = 880;
                gain.gain.value = 0.08;
                tone.connect(gain).connect(audio.destination);
                tone.start();
                tone.stop(audio.currentTime + 0.12);
            } catch (error) {
                // no sound here: the dialog says it all
            }
        },
        openInNewTab: (address) => { window.open(address, '_blank', 'noopener,noreferrer'); },
        decimalSymbol: () => decimalSymbol !== null ? decimalSymbol : localeDecimalSymbol(),
        setDecimalSymbol: (symbol) => { decimalSymbol = symbol; },
        addressFragment() {
            const raw = location.hash.slice(1);
            try {
                return decodeURIComponent(raw);
            } catch (error) {
                return raw;
            }
        },
    };
})();

// The program's module: its errors on the console, never in the page's way.
var Module = {
    printErr: (text) => console.warn(text),
    preRun: [() => {
        addRunDependency('locale');
        decimalLookup.then((symbol) => {
            if (symbol)
                cttaxShell.setDecimalSymbol(symbol);
            removeRunDependency('locale');
        });
    }],
    instantiateWasm: compiling ? (imports, done) => {
        compiling.then((module) => WebAssembly.instantiate(module, imports))
            .then((instance) => done(instance, null))
            .catch((error) => console.warn('cttax: ' + error));
        return {};
    } : undefined,
};

// The settings are stored whenever the page is hidden or left.
window.addEventListener('pagehide', () => Module._cttax_page_hidden && Module._cttax_page_hidden());
document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden' && Module._cttax_page_hidden)
        Module._cttax_page_hidden();
});

// A link to other figures followed while the page is open.
window.addEventListener('hashchange', () => Module._cttax_link_followed && Module._cttax_link_followed());

// Offline after the first visit, and installable.
if ('serviceWorker' in navigator && location.protocol !== 'file:')
    navigator.serviceWorker.register('sw.js').catch(() => {});
