// Page side of the web sound layer (linked in front of the program's own script). The
// module file is fetched and opened by libopenmpt on the audio thread, an AudioWorklet
// (music.worklet.js), as early as the page asks, so that the show can start at once.
var ZarvelinMusic = (function () {
    'use strict'
    const kRate = 44100 // the rate the show asks for
    const kResumeWait = 2000 // ms the output may take to start after the gesture
    const kStartAhead = 0.05 // s between the start call and the module's first sample
    const kQuantum = 128 // frames of a render quantum
    const kBufferSeconds = 0.15 // the output's buffer, as asked (Chromium gives 8192 frames, 186 ms)
    let context = null
    let node = null
    let gain = null // the master volume, between the player and the output
    let output = null // promise of the opened output
    let nextId = 1
    const files = new Map() // name -> promise of { code, data, probe, id, seconds }
    const settled = new Map() // name -> that record, once the sound calls have waited for it
    const loads = new Map() // id -> resolve of the audio thread's reply
    let started = null // { frame, rate }: context frame at which the module's time 0 would lie
    let soundsAt = 0 // context frame of the first sample after the latest play or seek
    let startSeq = 0 // number of the latest play or seek, so that a late report of an older one is ignored
    let heardLast = 0

    // Context time the output device presents now, from its latest timestamp; a stamp from
    // before the output ran (zero, or older than what was rendered since) is not used.
    function heardTime(ctx) {
        const stamp = ctx.getOutputTimestamp()
        const rendered = ctx.currentTime
        if (!(stamp.contextTime > 0)) return Math.max(0, rendered - (ctx.outputLatency || ctx.baseLatency))
        return Math.min(rendered, stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000)
    }

    function reply(e) {
        const msg = e.data
        if (msg.cmd === 'loaded' && loads.has(msg.id)) {
            loads.get(msg.id)(msg)
            loads.delete(msg.id)
        } else if (msg.cmd === 'started' && msg.seq === startSeq) {
            started = { frame: msg.frame - msg.ms * started.rate / 1000, rate: started.rate }
            soundsAt = msg.frame
        }
    }

    // The output exists before any gesture (suspended until then): its audio thread already
    // takes messages, so libopenmpt can open the module while the tables are built.
    async function openOutput() {
        if (typeof AudioContext === 'undefined' || typeof AudioWorkletNode === 'undefined') return
        try {
            // The player renders on the worklet's own thread, and the output plays silence for
            // every callback that thread misses: with the 10 ms 'interactive' buffer the show's
            // frames and the browser's compiling at its start made it miss, heard as gaps of
            // 10 to 160 ms. Nothing here answers a key with a sound, so the buffer can be long;
            // the clock follows what is heard, so its length does not move the picture.
            const ctx = new AudioContext({ sampleRate: kRate, latencyHint: kBufferSeconds })
            await ctx.audioWorklet.addModule('music.worklet.js')
            node = new AudioWorkletNode(ctx, 'zarvelin-music', { numberOfInputs: 0, outputChannelCount: [2] })
            node.port.onmessage = reply
            gain = ctx.createGain()
            node.connect(gain)
            gain.connect(ctx.destination)
            context = ctx
        } catch (e) {
            console.error(e)
            node = null
        }
    }

    // Error codes as the native player's: 9 nothing there, 11 cannot be read.
    async function fetchFile(name) {
        try {
            const response = await fetch(name)
            if (!response.ok) return { code: response.status === 404 ? 9 : 11 }
            return { code: 0, data: new Uint8Array(await response.arrayBuffer()), probe: 0, id: 0, seconds: 0 }
        } catch (e) {
            return { code: 11 }
        }
    }

    async function load(name) {
        const [file] = await Promise.all([fetchFile(name), prepareOutput()])
        if (file.code !== 0 || !node || file.data.length === 0) return file
        const id = nextId++
        const copy = file.data.slice().buffer
        const msg = await new Promise((resolve) => {
            loads.set(id, resolve)
            node.port.postMessage({ cmd: 'load', id, data: copy }, [copy])
        })
        file.probe = msg.probe
        file.id = msg.ok ? id : 0
        file.seconds = msg.seconds
        console.log('libopenmpt ' + msg.version)
        return file
    }

    function prepareOutput() {
        if (!output) output = openOutput()
        return output
    }

    // Starts fetching and opening `name`; the sound calls wait for it.
    function prepare(name) {
        if (!files.has(name)) files.set(name, load(name))
        return files.get(name)
    }

    // Starts the module at ms on a render quantum a little ahead, so that the clock knows its
    // origin at once; the audio thread's report corrects it should the start slip. Until the
    // new place is heard the position holds at ms.
    function startAt(cmd, fields, ms) {
        const rate = context.sampleRate
        const at = Math.ceil((context.currentTime + kStartAhead) * rate / kQuantum) * kQuantum
        started = { frame: at - ms * rate / 1000, rate }
        heardLast = ms / 1000
        soundsAt = at
        startSeq++
        node.port.postMessage(Object.assign({ cmd, at, seq: startSeq }, fields))
    }

    return {
        prepare,
        get context() { return context },
        get node() { return node },
        get gain() { return gain },
        get started() { return started },
        heardTime: () => (context ? heardTime(context) : 0),
        // Size of the file, or minus its error code.
        async open(name) {
            const file = await prepare(name)
            settled.set(name, file)
            return file.code !== 0 ? -file.code : file.data.length
        },
        file: (name) => settled.get(name),
        // True once the output runs (the viewer's gesture lets the context resume).
        async init() {
            await prepareOutput()
            if (!context) return false
            const waited = new Promise((resolve) => setTimeout(resolve, kResumeWait))
            await Promise.race([context.resume(), waited])
            return context.state === 'running'
        },
        play(id) {
            startAt('play', { id }, 0)
        },
        // The playing module moves to ms from its start; what was queued before is not heard.
        seek(ms) {
            if (started) startAt('seek', { ms }, ms)
        },
        // 0 silent to 1 full.
        volume(v) {
            if (gain) gain.gain.setTargetAtTime(v, context.currentTime, 0.01)
        },
        free(id) {
            if (node) node.port.postMessage({ cmd: 'free', id })
        },
        close() {
            if (context) context.suspend()
        },
        // The output stops and goes on where it stopped: its clock, and so position(), stand
        // still meanwhile.
        pause(on) {
            if (!context) return
            if (on) context.suspend()
            else context.resume()
        },
        // Resolves once the module's first sample (after a seek: its new place) is heard (or after a second without).
        sounding() {
            const end = performance.now() + 1000
            return new Promise(function poll(resolve) {
                const heard = context ? heardTime(context) : 0
                if (!started || heard * started.rate >= soundsAt || performance.now() > end) resolve()
                else requestAnimationFrame(() => poll(resolve))
            })
        },
        // Seconds of the module heard now: the context time the device presents at this
        // moment, less that of the module's time 0. Holds until the module sounds (after a seek,
        // at the new place); never goes back but by a seek.
        position() {
            if (!context || !started) return 0
            // A suspended output's last timestamp is stale: what it heard stands still.
            if (context.state === 'running')
                heardLast = Math.max(heardLast, heardTime(context) - started.frame / started.rate)
            return heardLast
        },
    }
})()
