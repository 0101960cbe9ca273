// The page's side of the game in a browser: the loop's sleeps and wake-ups, the canvas, the
// menu bar, dialogs and help, activation, the pointer, Web Audio, storage, replays, one tab.
mergeInto(LibraryManager.library, {
  $Krelmo__deps: ['$FS'],
  $Krelmo: {
    // The loop: the one stack of the game sleeps here, and one wake-up at a time resumes it
    // from a task of its own (a message on a channel), never from compiled code.
    wakeUp: null,
    wakePending: false,
    timeout: 0,
    posted: false,
    port: null,
    resume: function() {
      const wakeUp = Krelmo.wakeUp;
      if (!wakeUp) return;
      Krelmo.wakeUp = null;
      clearTimeout(Krelmo.timeout);
      wakeUp();
    },
    post: function() {
      if (Krelmo.posted) return;
      Krelmo.posted = true;
      Krelmo.port.postMessage(0);
    },
    wake: function() {
      if (Krelmo.wakeUp) {
        Krelmo.post();
      } else {
        Krelmo.wakePending = true;
      }
    },

    el: function(id) {
      return document.getElementById(id);
    },
    canvas: function() {
      return Krelmo.el('screen');
    },
    call: function(name, ...args) {
      const f = Module['_' + name];
      return f ? f(...args) : 0;
    },
    withUTF8: function(text, use) {
      const ptr = allocateUTF8(text);
      try {
        return use(ptr);
      } finally {
        _free(ptr);
      }
    },
    notice: function(text) {
      const notice = Krelmo.el('notice');
      notice.textContent = text;
      notice.hidden = false;
      clearTimeout(Krelmo.noticeTimer);
      Krelmo.noticeTimer = setTimeout(() => { notice.hidden = true; }, 10000);
    },

    // The canvas, scaled by whole device pixels to fit the page: every pixel a crisp square.
    fit: function() {
      const canvas = Krelmo.canvas();
      const ratio = window.devicePixelRatio || 1;
      const bar = Krelmo.el('menubar').offsetHeight;
      const below = Krelmo.el('below').offsetHeight;
      const width = document.documentElement.clientWidth - 16;
      const height = window.innerHeight - bar - below - 24;
      const scale = Math.max(1, Math.floor(Math.min(width * ratio / canvas.width,
                                                    height * ratio / canvas.height)));
      canvas.style.width = (canvas.width * scale / ratio) + 'px';
      canvas.style.height = (canvas.height * scale / ratio) + 'px';
      Krelmo.el('game').style.width = canvas.style.width;
    },
    scale: function() {
      const canvas = Krelmo.canvas();
      return canvas.getBoundingClientRect().width / canvas.width;
    },

    // The game is the active program while the page is shown and has the keyboard, and the
    // help (another program, as far as the game knows) has not. A loss must hold for a moment
    // to count: focus passing between the page's own parts goes through nothing for an instant.
    activation: { posted: true, timer: 0, started: false },
    helpHasFocus: function() {
      const help = Krelmo.el('help');
      return !help.hidden && help.contains(document.activeElement);
    },
    isActive: function() {
      return document.visibilityState === 'visible' && document.hasFocus() && !Krelmo.helpHasFocus();
    },
    checkActivation: function() {
      const a = Krelmo.activation;
      if (!a.started) return;
      if (Krelmo.isActive()) {
        clearTimeout(a.timer);
        a.timer = 0;
        Krelmo.postActivation(true);
      } else if (!a.timer) {
        a.timer = setTimeout(() => {
          a.timer = 0;
          if (!Krelmo.isActive()) Krelmo.postActivation(false);
        }, 120);
      }
    },
    postActivation: function(active) {
      if (active === Krelmo.activation.posted) return;
      Krelmo.activation.posted = active;
      Krelmo.call('krelmo_activation', active ? 1 : 0);
    },

    // Pointer Lock: asked for as play starts. A browser may want the player's click or key
    // for it: when it is refused, the next one asks again. A lock the browser drops by itself
    // during play (Esc, which it keeps from the page) is the player's Esc.
    pointer: { wanted: false, releasing: false },
    locked: function() {
      return document.pointerLockElement === Krelmo.canvas();
    },
    requestLock: function() {
      if (!Krelmo.pointer.wanted || Krelmo.locked()) return;
      try {
        const asked = Krelmo.canvas().requestPointerLock();
        if (asked && asked.catch) asked.catch(() => {});
      } catch (e) {
      }
    },
    lockChanged: function() {
      const p = Krelmo.pointer;
      if (Krelmo.locked()) {
        p.releasing = false;
        // Granted after play let go of it (a match ending just after a high score's dialog
        // asked for it again): given back at once.
        if (!p.wanted) {
          p.releasing = true;
          document.exitPointerLock();
        }
        return;
      }
      if (p.releasing) {
        p.releasing = false;
        return;
      }
      if (!p.wanted) return;
      // Lost while play holds it: once it is clear the page kept the keyboard (losing that is
      // a deactivation of its own), the game hears an Esc.
      setTimeout(() => {
        if (p.wanted && !Krelmo.locked() && Krelmo.isActive() && !Krelmo.dialogs.size) {
          Krelmo.call('krelmo_pointer_lost');
        }
      }, 150);
    },

    // The menu bar, built from the game's menu table; its states are the menu model's words.
    menus: { tops: null, subs: null, items: null, open: null },
    closeMenus: function() {
      const m = Krelmo.menus;
      if (!m.open) return;
      m.open.popup.hidden = true;
      m.open.title.setAttribute('aria-expanded', 'false');
      m.open = null;
    },
    openMenu: function(top) {
      Krelmo.closeMenus();
      top.popup.hidden = false;
      top.title.setAttribute('aria-expanded', 'true');
      Krelmo.menus.open = top;
    },
    topMenu: function(name) {
      const m = Krelmo.menus;
      let top = m.tops.get(name);
      if (top) return top;
      const box = document.createElement('div');
      box.className = 'menu';
      const title = document.createElement('button');
      title.className = 'title';
      title.setAttribute('role', 'menuitem');
      title.setAttribute('aria-haspopup', 'menu');
      title.setAttribute('aria-expanded', 'false');
      title.textContent = name;
      const popup = document.createElement('div');
      popup.className = 'popup';
      popup.setAttribute('role', 'menu');
      popup.setAttribute('aria-label', name);
      popup.hidden = true;
      box.append(title, popup);
      Krelmo.el('menubar').append(box);
      top = { title: title, popup: popup };
      title.addEventListener('click', () => {
        if (m.open === top) {
          Krelmo.closeMenus();
          Krelmo.canvas().focus();
        } else {
          Krelmo.openMenu(top);
        }
      });
      title.addEventListener('mouseenter', () => {
        if (m.open && m.open !== top) Krelmo.openMenu(top);
      });
      m.tops.set(name, top);
      return top;
    },
    subMenu: function(top, name) {
      const m = Krelmo.menus;
      const key = top.title.textContent + '/' + name;
      let sub = m.subs.get(key);
      if (sub) return sub;
      const box = document.createElement('div');
      box.className = 'submenu';
      box.setAttribute('role', 'none');
      const title = document.createElement('button');
      title.setAttribute('role', 'menuitem');
      title.setAttribute('aria-haspopup', 'menu');
      title.innerHTML = '<span class="check"></span><span class="label"></span>' +
                        '<span class="key">\u25b8</span>';
      title.querySelector('.label').textContent = name;
      sub = document.createElement('div');
      sub.className = 'popup';
      sub.setAttribute('role', 'menu');
      sub.setAttribute('aria-label', name);
      box.append(title, sub);
      top.popup.append(box);
      m.subs.set(key, sub);
      return sub;
    },
    showState: function(id, state) {
      const item = Krelmo.menus.items.get(id);
      if (!item) return;
      const checked = (state & 8) !== 0;
      item.setAttribute('role', checked ? 'menuitemcheckbox' : 'menuitem');
      if (checked) {
        item.setAttribute('aria-checked', 'true');
      } else {
        item.removeAttribute('aria-checked');
      }
      item.setAttribute('aria-disabled', (state & 3) !== 0 ? 'true' : 'false');
    },

    // Dialogs: modal HTML dialogs over the canvas, each open until one of its buttons answers.
    dialogs: null,
    nextDialog: 1,
    placeDialog: function(dialog, left, top) {
      const rect = Krelmo.canvas().getBoundingClientRect();
      dialog.style.left = Math.round(rect.left + left) + 'px';
      dialog.style.top = Math.round(rect.top + top) + 'px';
    },
    newDialog: function(caption) {
      const element = document.createElement('dialog');
      element.className = 'game-dialog';
      const bar = document.createElement('div');
      bar.className = 'caption';
      bar.textContent = caption;
      const client = document.createElement('div');
      client.className = 'client';
      element.append(bar, client);
      const id = Krelmo.nextDialog++;
      const entry = { element: element, client: client, answer: 0, box: null, scale: 1 };
      Krelmo.dialogs.set(id, entry);
      // Esc never closes one: only its buttons answer. A browser that closes it all the same
      // (Esc pressed twice) sees it open again.
      element.addEventListener('cancel', (event) => event.preventDefault());
      element.addEventListener('close', () => {
        if (!entry.answer && Krelmo.dialogs.has(id)) element.showModal();
      });
      element.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') event.preventDefault();
        if (event.key === 'Enter' && !(event.target instanceof HTMLButtonElement)) {
          event.preventDefault();
          const button = element.querySelector('button.default');
          if (button) button.click();
        }
      });
      return id;
    },
    answer: function(id, value) {
      const entry = Krelmo.dialogs.get(id);
      if (!entry || entry.answer) return;
      entry.answer = value;
      Krelmo.wake();
    },
    fontFamily: '"MS Sans Serif", Tahoma, "DejaVu Sans", sans-serif',
    // The templates were laid out for a narrow 8-point face: the largest size of the page's
    // font at which every line of the dialog's texts fits its box.
    fittingFont: function(texts) {
      const measure = (Krelmo.measure = Krelmo.measure ||
                        document.createElement('canvas').getContext('2d'));
      for (let px = 11; px > 8; --px) {
        measure.font = px + 'px ' + Krelmo.fontFamily;
        if (texts.every(t => t.text.split('\n').every(l => measure.measureText(l).width <= t.width))) {
          return px;
        }
      }
      return 8;
    },

    // The browser's storage keeps the settings folder's files, each as its text.
    storage: function() {
      try {
        return window.localStorage;
      } catch (e) {
        return null;
      }
    },
    settingsPrefix: 'krelmo99.reg',
    utf16File: function(text) {
      const bytes = new Uint8Array(2 + text.length * 2);
      bytes[0] = 0xff;
      bytes[1] = 0xfe;
      for (let i = 0; i < text.length; ++i) {
        const unit = text.charCodeAt(i);
        bytes[2 + 2 * i] = unit & 0xff;
        bytes[3 + 2 * i] = unit >> 8;
      }
      return bytes;
    },

    // Replays: each match's file offered for download, named by when it ended.
    replayNames: null,
    stamp: function(date) {
      const two = n => String(n).padStart(2, '0');
      return date.getFullYear() + '-' + two(date.getMonth() + 1) + '-' + two(date.getDate()) +
             '_' + two(date.getHours()) + '-' + two(date.getMinutes()) + '-' +
             two(date.getSeconds());
    },
    maxReplayText: 256 * 1024 * 1024,
    inflate: async function(bytes) {
      const reader = new Blob([bytes]).stream()
                         .pipeThrough(new DecompressionStream('gzip')).getReader();
      const chunks = [];
      let total = 0;
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        total += value.length;
        if (total > Krelmo.maxReplayText) {
          reader.cancel();
          throw new Error('it unpacks to more than 256 MB');
        }
        chunks.push(value);
      }
      const text = new Uint8Array(total);
      let at = 0;
      for (const chunk of chunks) {
        text.set(chunk, at);
        at += chunk.length;
      }
      return text;
    },
    openReplay: async function(file) {
      let bytes = new Uint8Array(await file.arrayBuffer());
      if (bytes.length >= 2 && bytes[0] === 0x1f && bytes[1] === 0x8b) {
        try {
          if (!window.DecompressionStream) throw new Error('this browser cannot unpack it');
          bytes = await Krelmo.inflate(bytes);
        } catch (e) {
          Krelmo.notice(file.name + ': ' + (e.message && !(e instanceof TypeError) ?
                        e.message : 'the compressed data is damaged or cut short'));
          return;
        }
      }
      const data = _malloc(Math.max(bytes.length, 1));
      HEAPU8.set(bytes, data);
      Krelmo.withUTF8(file.name, name => Krelmo.call('krelmo_open_replay', name, data, bytes.length));
      _free(data);
    },

    // Sound: one AudioContext, made at the player's first click or key, as browsers require;
    // until then an open output takes the mixer's samples at their pace and drops them.
    audio: { context: null, outputs: null },
    kRate: 22050,
    kBuffer: 512,
    audioNode: function(context, id) {
      const node = context.createScriptProcessor(Krelmo.kBuffer, 0, 1);
      const step = Krelmo.kRate / context.sampleRate;
      let held = new Int16Array(0);
      let at = 0;
      node.onaudioprocess = (event) => {
        const out = event.outputBuffer.getChannelData(0);
        for (let i = 0; i < out.length; ++i) {
          while (at >= held.length) {
            at -= held.length;
            const count = Math.max(1, Math.ceil((out.length - i) * step));
            const ptr = Krelmo.call('krelmo_audio_render', id, count);
            held = ptr ? HEAP16.slice(ptr >> 1, (ptr >> 1) + count) : new Int16Array(count);
          }
          out[i] = held[Math.floor(at)] / 32768;
          at += step;
        }
      };
      return node;
    },
    connect: function(output) {
      const context = Krelmo.audio.context;
      if (!context) {
        let last = performance.now();
        output.timer = setInterval(() => {
          const count = Math.floor((performance.now() - last) * Krelmo.kRate / 1000);
          last += count * 1000 / Krelmo.kRate;
          for (let left = count; left > 0; left -= 4096) {
            Krelmo.call('krelmo_audio_render', output.id, Math.min(left, 4096));
          }
        }, 100);
        return;
      }
      if (context.state !== 'running') context.resume();
      output.node = Krelmo.audioNode(context, output.id);
      output.node.connect(context.destination);
    },
    disconnect: function(output) {
      clearInterval(output.timer);
      output.timer = 0;
      if (output.node) {
        output.node.onaudioprocess = null;
        output.node.disconnect();
        output.node = null;
      }
    },
    startSound: function() {
      const a = Krelmo.audio;
      if (a.context) {
        if (a.context.state === 'suspended' && a.outputs.size) a.context.resume();
        return;
      }
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      try {
        a.context = new Context({ sampleRate: Krelmo.kRate, latencyHint: 'interactive' });
      } catch (e) {
        a.context = new Context({ latencyHint: 'interactive' });
      }
      for (const output of a.outputs.values()) {
        Krelmo.disconnect(output);
        Krelmo.connect(output);
      }
      if (!a.outputs.size) a.context.suspend();
    },

    // Page set-up: sizes, listeners, the page's own controls.
    start: function(width, height) {
      // (A library's objects are written out as text: its maps are made here.)
      Krelmo.menus.tops = new Map();
      Krelmo.menus.subs = new Map();
      Krelmo.menus.items = new Map();
      Krelmo.dialogs = new Map();
      Krelmo.replayNames = new Set();
      Krelmo.audio.outputs = new Map();
      const channel = new MessageChannel();
      channel.port1.onmessage = () => {
        Krelmo.posted = false;
        Krelmo.resume();
      };
      Krelmo.port = channel.port2;

      const canvas = Krelmo.canvas();
      canvas.width = width;
      canvas.height = height;
      Krelmo.context2d = canvas.getContext('2d', { alpha: false });
      Krelmo.fit();
      window.addEventListener('resize', Krelmo.fit);
      canvas.addEventListener('contextmenu', (event) => event.preventDefault());
      canvas.focus();

      for (const type of ['focus', 'blur']) window.addEventListener(type, Krelmo.checkActivation);
      for (const type of ['visibilitychange', 'focusin', 'focusout']) {
        document.addEventListener(type, Krelmo.checkActivation);
      }
      // Leaving the page is the game's end as far as its settings go: they are kept now.
      window.addEventListener('pagehide', () => Krelmo.call('krelmo_page_hiding'));
      document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'hidden') Krelmo.call('krelmo_page_hiding');
      });

      document.addEventListener('pointerlockchange', Krelmo.lockChanged);
      for (const type of ['pointerdown', 'keydown']) {
        window.addEventListener(type, (event) => {
          if (event.type === 'keydown' && event.key === 'Escape') return;
          Krelmo.startSound();
          Krelmo.requestLock();
        }, true);
      }

      document.addEventListener('mousedown', (event) => {
        if (!Krelmo.el('menubar').contains(event.target)) Krelmo.closeMenus();
      }, true);
      document.addEventListener('keydown', (event) => {
        if (event.key === 'Escape' && Krelmo.menus.open) {
          Krelmo.closeMenus();
          Krelmo.canvas().focus();
        }
      }, true);

      const help = Krelmo.el('help');
      const closeHelp = () => {
        help.hidden = true;
        Krelmo.canvas().focus();
      };
      Krelmo.el('help-close').addEventListener('click', closeHelp);
      help.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') closeHelp();
      });

      const picker = Krelmo.el('replay-file');
      Krelmo.el('open-replay').addEventListener('click', () => picker.click());
      picker.addEventListener('change', () => {
        if (picker.files.length) Krelmo.openReplay(picker.files[0]);
        picker.value = '';
      });
      document.addEventListener('dragover', (event) => event.preventDefault());
      document.addEventListener('drop', (event) => {
        event.preventDefault();
        const files = event.dataTransfer && event.dataTransfer.files;
        if (files && files.length) Krelmo.openReplay(files[0]);
      });
      Krelmo.el('playback-close').addEventListener('click', () => Krelmo.call('krelmo_end_playback'));

      // "?stats": figures on the console every 5 s.
      if (new URLSearchParams(location.search).has('stats')) {
        setInterval(() => Krelmo.call('krelmo_print_stats'), 5000);
      }

      Krelmo.el('settings-download').addEventListener('click', (event) => {
        const storage = Krelmo.storage();
        const text = storage && storage.getItem(Krelmo.settingsPrefix);
        if (text === null || text === undefined) {
          event.preventDefault();
          Krelmo.notice('No settings have been saved in this browser yet.');
          return;
        }
        const link = event.currentTarget;
        URL.revokeObjectURL(link.href);
        link.href = URL.createObjectURL(new Blob([Krelmo.utf16File(text)],
                                                 { type: 'application/octet-stream' }));
      });
    },
  },

  krelmo_page_start__deps: ['$Krelmo'],
  krelmo_page_start: function(width, height) {
    Krelmo.start(width, height);
  },

  krelmo_watch_activation__deps: ['$Krelmo'],
  krelmo_watch_activation: function() {
    Krelmo.activation.started = true;
    Krelmo.activation.posted = true;  // the game starts out active
    Krelmo.checkActivation();
  },

  krelmo_sleep__deps: ['$Krelmo'],
  krelmo_sleep: function(timeoutMs) {
    return Asyncify.handleSleep((wakeUp) => {
      if (Krelmo.wakePending && timeoutMs !== 0) {
        Krelmo.wakePending = false;
        wakeUp();
        return;
      }
      Krelmo.wakeUp = wakeUp;
      if (timeoutMs === 0) {
        Krelmo.post();
      } else if (timeoutMs > 0) {
        Krelmo.timeout = setTimeout(Krelmo.resume, timeoutMs);
      }
    });
  },

  krelmo_wake__deps: ['$Krelmo'],
  krelmo_wake: function() {
    Krelmo.wake();
  },

  krelmo_claim_instance__deps: ['$Krelmo'],
  krelmo_claim_instance: function() {
    return Asyncify.handleSleep((wakeUp) => {
      const locks = navigator.locks;
      // Without the browser's locks (a page not served securely), the game runs alone.
      if (!locks) {
        wakeUp();
        return;
      }
      const hold = () => new Promise((resolve) => {
        Krelmo.releaseInstance = resolve;
        const channel = new BroadcastChannel('krelmo99');
        channel.onmessage = (event) => {
          if (event.data === 'Krelmo') Krelmo.call('krelmo_hand_over');
        };
        Krelmo.instanceChannel = channel;
        setTimeout(wakeUp);
      });
      locks.request('krelmo99', { ifAvailable: true }, (lock) => {
        if (lock) return hold();
        // Another tab runs the game: it hears of this one, and this one starts when it has gone.
        // Meanwhile this one offers nothing to do: its replays and settings are that tab's.
        Krelmo.el('elsewhere').hidden = false;
        Krelmo.el('controls').hidden = true;
        const channel = new BroadcastChannel('krelmo99');
        channel.postMessage('Krelmo');
        channel.close();
        locks.request('krelmo99', () => {
          Krelmo.el('elsewhere').hidden = true;
          Krelmo.el('controls').hidden = false;
          return hold();
        });
      });
    });
  },

  krelmo_release_instance__deps: ['$Krelmo'],
  krelmo_release_instance: function() {
    if (Krelmo.instanceChannel) Krelmo.instanceChannel.close();
    if (Krelmo.releaseInstance) Krelmo.releaseInstance();
    Krelmo.releaseInstance = null;
  },

  krelmo_game_ended__deps: ['$Krelmo'],
  krelmo_game_ended: function() {
    Krelmo.activation.started = false;
    Krelmo.el('ended').hidden = false;
    Krelmo.el('menubar').inert = true;
  },

  krelmo_present__deps: ['$Krelmo'],
  krelmo_present: function(rgba, width, height) {
    const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    Krelmo.context2d.putImageData(new ImageData(pixels, width, height), 0, 0);
  },

  krelmo_pointer_hidden__deps: ['$Krelmo'],
  krelmo_pointer_hidden: function(hidden) {
    Krelmo.canvas().style.cursor = hidden ? 'none' : '';
  },

  krelmo_pointer_lock__deps: ['$Krelmo'],
  krelmo_pointer_lock: function(lock) {
    const p = Krelmo.pointer;
    p.wanted = !!lock;
    if (lock) {
      Krelmo.requestLock();
    } else if (Krelmo.locked()) {
      p.releasing = true;
      document.exitPointerLock();
    }
  },

  krelmo_menu_add__deps: ['$Krelmo'],
  krelmo_menu_add: function(menu, submenu, text, id, state) {
    const top = Krelmo.topMenu(UTF32ToString(menu));
    const parent = submenu ? Krelmo.subMenu(top, UTF32ToString(submenu)) : top.popup;
    if (!text) {
      const line = document.createElement('hr');
      line.setAttribute('role', 'separator');
      parent.append(line);
      return;
    }
    const [label, key] = UTF32ToString(text).split('\t');
    const item = document.createElement('button');
    item.innerHTML = '<span class="check"></span><span class="label"></span><span class="key"></span>';
    item.querySelector('.label').textContent = label;
    item.querySelector('.key').textContent = key || '';
    item.dataset.id = id;
    item.addEventListener('click', () => {
      if (item.getAttribute('aria-disabled') === 'true') return;
      Krelmo.closeMenus();
      Krelmo.canvas().focus();
      Krelmo.call('krelmo_menu_command', id);
    });
    parent.append(item);
    Krelmo.menus.items.set(id, item);
    Krelmo.showState(id, state);
  },

  krelmo_menu_state__deps: ['$Krelmo'],
  krelmo_menu_state: function(id, state) {
    Krelmo.showState(id, state);
  },

  krelmo_message_box__deps: ['$Krelmo'],
  krelmo_message_box: function(caption, text, yesNo, icon) {
    const id = Krelmo.newDialog(UTF32ToString(caption));
    const entry = Krelmo.dialogs.get(id);
    entry.element.classList.add('message-box');
    const body = document.createElement('div');
    body.className = 'body';
    if (icon === 3) {
      const sign = document.createElement('span');
      sign.className = 'icon exclamation';
      sign.setAttribute('aria-hidden', 'true');
      sign.textContent = '!';
      body.append(sign);
    }
    const message = document.createElement('p');
    message.className = 'text';
    message.textContent = UTF32ToString(text);
    body.append(message);
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    const add = (label, value, isDefault) => {
      const button = document.createElement('button');
      button.textContent = label;
      if (isDefault) button.className = 'default';
      button.addEventListener('click', () => Krelmo.answer(id, value));
      buttons.append(button);
      return button;
    };
    const first = yesNo ? add('Yes', 6, true) : add('OK', 1, true);
    if (yesNo) add('No', 7, false);
    entry.client.append(body, buttons);
    document.body.append(entry.element);
    entry.element.showModal();
    const rect = Krelmo.canvas().getBoundingClientRect();
    Krelmo.placeDialog(entry.element,
                       Math.max(0, (rect.width - entry.element.offsetWidth) / 2),
                       Math.max(0, (rect.height - entry.element.offsetHeight) / 2));
    first.focus();
    return id;
  },

  krelmo_dialog_open__deps: ['$Krelmo'],
  krelmo_dialog_open: function(caption, left, top, width, height, centred) {
    const id = Krelmo.newDialog(UTF32ToString(caption));
    const entry = Krelmo.dialogs.get(id);
    entry.scale = Krelmo.scale();
    entry.frame = { left: left, top: top, width: width, height: height };
    entry.centred = !!centred;
    entry.texts = [];
    entry.element.classList.add('template');
    entry.client.style.width = width * entry.scale + 'px';
    entry.client.style.height = height * entry.scale + 'px';
    return id;
  },

  krelmo_dialog_add__deps: ['$Krelmo'],
  krelmo_dialog_add: function(dialog, kind, controlId, text, left, top, width, height) {
    const entry = Krelmo.dialogs.get(dialog);
    const s = entry.scale;
    const content = UTF32ToString(text);
    let control;
    if (kind === 0) {
      control = document.createElement('button');
      control.className = 'default';
      control.textContent = content;
      control.addEventListener('click', () => Krelmo.answer(dialog, 1));
    } else if (kind === 3) {
      control = document.createElement('fieldset');
      const legend = document.createElement('legend');
      legend.textContent = content;
      if (content) control.append(legend);
    } else {
      control = document.createElement('div');
      control.className = (kind === 2 ? 'right ' : '') + 'static' + (entry.centred ? ' centred' : '');
      control.textContent = content;
      entry.texts.push({ text: content, width: width });
    }
    if (controlId >= 0) control.dataset.controlId = controlId;
    Object.assign(control.style, { left: left * s + 'px', top: top * s + 'px',
                                   width: width * s + 'px', height: height * s + 'px' });
    // Group boxes lie behind the texts inside them.
    if (kind === 3) {
      entry.client.prepend(control);
    } else {
      entry.client.append(control);
    }
  },

  krelmo_dialog_add_name_box__deps: ['$Krelmo'],
  krelmo_dialog_add_name_box: function(dialog, left, top, width, height, text, maxLength) {
    const entry = Krelmo.dialogs.get(dialog);
    const s = entry.scale;
    const box = document.createElement('input');
    box.type = 'text';
    box.className = 'name-box';
    box.maxLength = maxLength;
    box.spellcheck = false;
    box.autocomplete = 'off';
    box.dataset.controlId = 5091;
    box.value = UTF32ToString(text);
    Object.assign(box.style, { left: left * s + 'px', top: top * s + 'px',
                               width: width * s + 'px', height: height * s + 'px' });
    // Only what the game can keep (its single-byte Western text) and what the box shows
    // without scrolling can be typed.
    let good = box.value;
    box.addEventListener('input', () => {
      const fits = Krelmo.withUTF8(box.value, ptr => Krelmo.call('krelmo_name_accepts', ptr)) &&
                   box.scrollWidth <= box.clientWidth;
      if (fits) {
        good = box.value;
      } else {
        const caret = Math.max(0, box.selectionStart - (box.value.length - good.length));
        box.value = good;
        box.setSelectionRange(caret, caret);
      }
    });
    entry.box = box;
    entry.client.append(box);
  },

  krelmo_dialog_show__deps: ['$Krelmo'],
  krelmo_dialog_show: function(dialog) {
    const entry = Krelmo.dialogs.get(dialog);
    const px = Krelmo.fittingFont(entry.texts);
    entry.element.style.fontSize = px * entry.scale + 'px';
    document.body.append(entry.element);
    entry.element.showModal();
    // The frame's place counts from the canvas's origin; the caption sits above it.
    const caption = entry.element.querySelector('.caption').offsetHeight;
    Krelmo.placeDialog(entry.element, entry.frame.left * entry.scale,
                       Math.max(0, entry.frame.top * entry.scale - caption));
    if (entry.box) {
      entry.box.focus();
      entry.box.select();
    } else {
      const button = entry.element.querySelector('button.default');
      if (button) button.focus();
    }
  },

  krelmo_dialog_answer__deps: ['$Krelmo'],
  krelmo_dialog_answer: function(dialog) {
    const entry = Krelmo.dialogs.get(dialog);
    return entry ? entry.answer : -1;
  },

  krelmo_dialog_text__deps: ['$Krelmo'],
  krelmo_dialog_text: function(dialog) {
    const entry = Krelmo.dialogs.get(dialog);
    return entry && entry.box ? allocateUTF8(entry.box.value) : 0;
  },

  krelmo_dialog_close__deps: ['$Krelmo'],
  krelmo_dialog_close: function(dialog) {
    const entry = Krelmo.dialogs.get(dialog);
    if (!entry) return;
    Krelmo.dialogs.delete(dialog);
    entry.element.close();
    entry.element.remove();
  },

  krelmo_keys_to_game__deps: ['$Krelmo'],
  krelmo_keys_to_game: function() {
    if (Krelmo.dialogs.size || Krelmo.menus.open) return 0;
    const active = document.activeElement;
    return !active || active === document.body || active === Krelmo.canvas() ||
           Krelmo.el('menubar').contains(active) ? 1 : 0;
  },

  krelmo_focus_game__deps: ['$Krelmo'],
  krelmo_focus_game: function() {
    if (!Krelmo.dialogs.size) Krelmo.canvas().focus();
  },

  krelmo_show_help__deps: ['$Krelmo'],
  krelmo_show_help: function() {
    const help = Krelmo.el('help');
    if (!help) return 0;
    help.hidden = false;
    help.scrollIntoView();
    help.focus();
    return 1;
  },

  krelmo_audio_open__deps: ['$Krelmo'],
  krelmo_audio_open: function(id) {
    if (!(window.AudioContext || window.webkitAudioContext)) return 0;
    const outputs = Krelmo.audio.outputs;
    if (outputs.has(id)) return 1;
    const output = { id: id, node: null, timer: 0 };
    outputs.set(id, output);
    Krelmo.connect(output);
    return 1;
  },

  krelmo_audio_close__deps: ['$Krelmo'],
  krelmo_audio_close: function(id) {
    const a = Krelmo.audio;
    const output = a.outputs.get(id);
    if (!output) return;
    Krelmo.disconnect(output);
    a.outputs.delete(id);
    // With nothing to play the browser's audio thread need not run.
    if (!a.outputs.size && a.context && a.context.state === 'running') a.context.suspend();
  },

  krelmo_settings_load__deps: ['$Krelmo'],
  krelmo_settings_load: function(folder) {
    const path = UTF8ToString(folder);
    FS.mkdirTree(path);
    const storage = Krelmo.storage();
    if (!storage) return;
    for (let i = 0; i < storage.length; ++i) {
      const key = storage.key(i);
      if (key.startsWith(Krelmo.settingsPrefix)) {
        FS.writeFile(path + '/' + key, Krelmo.utf16File(storage.getItem(key)));
      }
    }
  },

  krelmo_settings_keep__deps: ['$Krelmo'],
  krelmo_settings_keep: function(folder) {
    const path = UTF8ToString(folder);
    const storage = Krelmo.storage();
    if (!storage) return allocateUTF8('this browser lets the page keep nothing');
    try {
      const names = FS.readdir(path).filter(
          name => name.startsWith(Krelmo.settingsPrefix) && !name.includes('.tmp-'));
      const decoder = new TextDecoder('utf-16le');
      for (const name of names) {
        storage.setItem(name, decoder.decode(FS.readFile(path + '/' + name)));
      }
      for (let i = storage.length - 1; i >= 0; --i) {
        const key = storage.key(i);
        if (key.startsWith(Krelmo.settingsPrefix) && !names.includes(key)) storage.removeItem(key);
      }
      return 0;
    } catch (e) {
      return allocateUTF8('the browser did not keep it: ' + (e.message || e.name || e));
    }
  },

  krelmo_offer_replay__deps: ['$Krelmo'],
  krelmo_offer_replay: function(text, length) {
    const bytes = HEAPU8.slice(text, text + length);
    const ended = new Date();
    const stamp = Krelmo.stamp(ended);
    const compress = !!window.CompressionStream;
    const extension = compress ? '.replay.gz' : '.replay';
    let name = stamp + extension;
    for (let n = 2; Krelmo.replayNames.has(name); ++n) name = stamp + '_' + n + extension;
    Krelmo.replayNames.add(name);
    const made = compress ?
        new Response(new Blob([bytes]).stream().pipeThrough(new CompressionStream('gzip'))).blob() :
        Promise.resolve(new Blob([bytes]));
    made.then((blob) => {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = name;
      link.textContent = name;
      const item = document.createElement('li');
      item.append('Replay of the match that ended at ' + ended.toLocaleTimeString() + ': ', link);
      const list = Krelmo.el('replays');
      list.prepend(item);
      while (list.children.length > 20) {
        URL.revokeObjectURL(list.lastElementChild.querySelector('a').href);
        list.lastElementChild.remove();
      }
      Krelmo.el('replays-box').hidden = false;
    });
  },

  krelmo_playback_shown__deps: ['$Krelmo'],
  krelmo_playback_shown: function(name) {
    const bar = Krelmo.el('playback');
    Krelmo.el('menubar').inert = !!name;
    bar.hidden = !name;
    Krelmo.el('playback-outcome').textContent = '';
    if (name) Krelmo.el('playback-name').textContent = UTF8ToString(name);
    Krelmo.canvas().focus();
  },

  krelmo_playback_outcome__deps: ['$Krelmo'],
  krelmo_playback_outcome: function(text) {
    Krelmo.el('playback-outcome').textContent = UTF8ToString(text);
  },

  krelmo_notice__deps: ['$Krelmo'],
  krelmo_notice: function(text) {
    Krelmo.notice(UTF8ToString(text));
  },
});
