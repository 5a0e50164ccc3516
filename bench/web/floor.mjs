// What the benchmark's floor must show as the page does: each control of the
// window found by its id, with its place, font, colours and text, the lists'
// entries in order, and where the focus is. A floor out of step with the
// page would measure nothing; the benchmark checks it before it times.

const controls = ['title', 'namesCaption', 'periodsCaption', 'verdict', 'names', 'periods', 'reset'];

// The window of the page loaded in `page`, as plain data.
export function readWindow(page) {
    return page.evaluate((ids) => {
        const window = {};
        for (const id of ids) {
            const element = document.getElementById(id);
            const box = element.getBoundingClientRect();
            const style = getComputedStyle(element);
            const options = element.tagName === 'SELECT' ? [...element.options]
                : [...element.querySelectorAll('[role=option]')];
            window[id] = {
                place: [box.left, box.top, box.width, box.height].join(' '),
                font: `${style.fontWeight} ${style.fontSize} ${style.fontFamily}`,
                colours: `${style.color} on ${style.backgroundColor}`,
                border: `${style.borderTopWidth} ${style.borderTopStyle}`,
                text: element.tagName === 'TEXTAREA' ? element.value
                    : options.length ? options.map((option) => option.textContent).join('\n') : element.textContent,
            };
        }
        window.focus = document.activeElement.id;
        return window;
    }, controls);
}

// Each thing that differs between two windows, named: "names, place: ... / ...".
export function differences(page, floor) {
    const found = [];
    for (const id of controls)
        for (const key of Object.keys(page[id]))
            if (page[id][key] !== floor[id][key])
                found.push(`${id}, ${key}: ${JSON.stringify(page[id][key]).slice(0, 80)} / `
                    + JSON.stringify(floor[id][key]).slice(0, 80));
    if (page.focus !== floor.focus)
        found.push(`focus: ${page.focus} / ${floor.focus}`);
    return found;
}
