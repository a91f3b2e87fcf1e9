"""The demo's story scripts: the title brings up its frame and music; the
start of a game (the title's START button, or start state 3) puts the role on
the demo map with its NPCs and monsters and hands the controls over."""
from demofiles import write_text


def generate(root):
    script = root / "Script"
    write_text(script / "title.jsr", ["LaunchTitle()", "EOF"])
    write_text(script / "gameinit.jsr", [
        "// A new game on the demo map.",
        'UnloadUIFrame("title_frame")',
        'ChangeMap("demo")',
        "AddRole(,0,勇者,1,320,240,2,4,4,10,28,46,100,50,12,8,1,0,100,footstep,0,-1,);",
        'ReadAScriptFile("demo_npc")',
        'ReadAScriptFile("demo_monster")',
        'ReadAScriptFile("MagicKindList")',
        'LoadUIFrame("main_frame")',
        'PlayMidi("title")',
        "UnlockKeyMouse()",
        "LaunchGame()",
        "EOF",
    ])
