// Page side of the web sound layer (linked in front of the program's own script). The
// module file is fetched and opened by libopenmpt on the audio thread, an AudioWorklet
// (music.worklet.js), as early as the page asks, so that the show can start at once.
var ZarvelinMusic = (function () {
    'use strict'
    const kRate = 44100 // the rate the show asks for
    const kResumeWait = 2000 // ms the output may take to start after the gesture
    const kStartAhead = 0.05 // s between the start call and the module's first sample
    const kQuantum = 128 // frames of a render quantum
    let context = null
    let node = null
    let output = null // promise of the opened output
    let nextId = 1
    const files = new Map() // name -> promise of { code, data, probe, id, seconds }
    const settled = new Map() // name -> that record, once the sound calls have waited for it
    const loads = new Map() // id -> resolve of the audio thread's reply
    let started = null // { frame, rate } of the module's first sample
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
        } else if (msg.cmd === 'started') {
            started = { frame: msg.frame, rate: msg.rate }
        }
    }

    // The output exists before any gesture (suspended until then): its audio thread already
    // takes messages, so libopenmpt can open the module while the tables are built.
    async function openOutput() {
        if (typeof AudioContext === 'undefined' || typeof AudioWorkletNode === 'undefined') return
        try {
            const ctx = new AudioContext({ sampleRate: kRate, latencyHint: 'interactive' })
            await ctx.audioWorklet.addModule('music.worklet.js')
            node = new AudioWorkletNode(ctx, 'zarvelin-music', { numberOfInputs: 0, outputChannelCount: [2] })
            node.port.onmessage = reply
            node.connect(ctx.destination)
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

    return {
        prepare,
        get context() { return context },
        get node() { return node },
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
        // The module starts on a render quantum a little ahead, so that the clock knows
        // its origin at once; the audio thread's report corrects it should the start slip.
        play(id) {
            const rate = context.sampleRate
            const at = Math.ceil((context.currentTime + kStartAhead) * rate / kQuantum) * kQuantum
            started = { frame: at, rate }
            heardLast = 0
            node.port.postMessage({ cmd: 'play', id, at })
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
        // Resolves once the module's first sample is heard (or after a second without).
        sounding() {
            const end = performance.now() + 1000
            return new Promise(function poll(resolve) {
                const heard = context ? heardTime(context) : 0
                if (!started || heard * started.rate >= started.frame || performance.now() > end) resolve()
                else requestAnimationFrame(() => poll(resolve))
            })
        },
        // Seconds of the module heard now: the context time the device presents at this
        // moment, less that of the module's first sample. 0 until it sounds; never goes back.
        position() {
            if (!context || !started) return 0
            heardLast = Math.max(heardLast, heardTime(context) - started.frame / started.rate)
            return heardLast
        },
    }
})()
