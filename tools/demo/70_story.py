"""The demo's story scripts.

The title brings up its frame and music. START runs "gameinit": the role
wakes in the village (map demo) with the fire book, the village elder asks
for help against the demon king and gives the ice book to a helper, the
girl sells the thunder book for gold, and the north door leads to the field
(map demo2), where the demon king waits. A clock script watches for the
king's fall and then plays the ending, which returns to the title."""
from demofiles import write_text


def generate(root):
    script = root / "Script"
    write_text(script / "title.jsr", ["LaunchTitle()", "EOF"])
    write_text(script / "gameinit.jsr", [
        "// A new game in the village: the role with the fire book (digit 1),",
        "// the other books' digits locked until the books are given.",
        'UnloadUIFrame("title_frame")',
        'ChangeMap("demo")',
        "AddRole(,0,勇者,1,320,240,2,4,4,10,28,46,100,50,12,8,1,0,25,footstep,0,-1,);",
        'ReadAScriptFile("demo_npc")',
        'ReadAScriptFile("demo_monster")',
        'ReadAScriptFile("MagicKindList")',
        'AddItem("book1")',
        "SetMeProp(magickind,0)",
        "KeyTable(key2,0)",
        "KeyTable(key3,0)",
        'LoadUIFrame("main_frame")',
        'PlayMidi("village")',
        'OpenClockScript("clock")',
        "UnlockKeyMouse()",
        "LaunchGame()",
        "EOF",
    ])
    # The doors: a fade, the other map with its actors and music, the role
    # just inside the door it came through.
    write_text(script / "door1.jsr", [
        "// The village's north door: out to the field.",
        "FadeIn(0)",
        'ChangeMap("demo2")',
        "SetMePos(864,304)",
        "// The door is at the map's east edge: bring the view's right edge",
        "// onto it while the view is still dark.",
        "MoveMapTo(655,304,8)",
        'ReadAScriptFile("demo2_npc")',
        'ReadAScriptFile("demo2_monster")',
        'PlayMidi("field")',
        "FadeOut(0)",
        "EOF",
    ])
    write_text(script / "door2.jsr", [
        "// The field's east door: back to the village.",
        "FadeIn(0)",
        'ChangeMap("demo")',
        "SetMePos(336,80)",
        'ReadAScriptFile("demo_npc")',
        'ReadAScriptFile("demo_monster")',
        'PlayMidi("village")',
        "FadeOut(0)",
        "EOF",
    ])
    write_text(script / "afu.jsr", [
        "// The village elder. The first talk asks for help; a helper gets the",
        "// ice book (digit 2). Later talks heal the role and give a hint.",
        "static int elder_quest = 0;",
        "if(elder_quest==0)",
        '  NpcTalk("年轻人，东边原野上来了一个魔王，","它的手下在村子里作乱。","你愿意帮我们赶走它吗？")',
        '  LoadUIFrame("choice_frame")',
        '  FindVar("findvar_choice")',
        "  if(findvar_choice==1)",
        "    elder_quest = 1;",
        '    NpcTalk("太好了！这本冰刃之书送给你。","按 2 选择冰刃，按 Ctrl 施放。","北边的门通向原野。")',
        '    AddItem("book2")',
        "    KeyTable(key2,1)",
        "  else",
        '    NpcTalk("唉，等你准备好了再来找我吧。","","")',
        "  end if",
        "else",
        '  NpcTalk("愿你平安，我来为你疗伤。","魔王就在原野的西边。","小翠那里可以买到雷击之书。")',
        "  SetMeProp(addhp,50)",
        "end if",
        "EOF",
    ])
    write_text(script / "xiaocui.jsr", [
        "// The girl sells the thunder book (digit 3) for 10 gold, then potions",
        "// by the number.",
        "static int cui_sold = 0;",
        "if(cui_sold==1)",
        '  NpcTalk("雷击之书用得还好吗？","我这里还有疗伤药，","每瓶 2 金，恢复 20 点生命和 10 点魔法。")',
        '  NpcTalk("要几瓶？","","")',
        '  LoadUIFrame("number_frame")',
        '  FindVar("findvar_number")',
        "  int cost = 0;",
        "  int heal = 0;",
        "  cost = findvar_number * 2;",
        "  heal = findvar_number * 20;",
        "  int mana = 0;",
        "  mana = findvar_number * 10;",
        "  GetMeProp(gold)",
        "  if(findvar_number==0)",
        '    NpcTalk("不要了吗？那下次再来。","","")',
        "  else",
        "    if(role_gold>=cost)",
        "      SetMeProp(addgold,-cost)",
        "      SetMeProp(addhp,heal)",
        "      SetMeProp(addmp,mana)",
        '      NpcTalk("给你，快喝下吧。","","")',
        "    else",
        '      NpcTalk("你的钱不够哦。","","")',
        "    end if",
        "  end if",
        "else",
        '  PlayerTalk("你好，","你这里有什么？","")',
        '  NpcTalk("我有一本雷击之书，","只要 10 金。","要买吗？")',
        '  LoadUIFrame("choice_frame")',
        '  FindVar("findvar_choice")',
        "  if(findvar_choice==1)",
        "    GetMeProp(gold)",
        "    if(role_gold>=10)",
        "      SetMeProp(addgold,-10)",
        '      AddItem("book3")',
        "      KeyTable(key3,1)",
        "      cui_sold = 1;",
        '      NpcTalk("谢谢惠顾！","","")',
        "    else",
        '      NpcTalk("你的钱不够哦，","去原野上打些怪物再来吧。","")',
        "    end if",
        "  else",
        '    NpcTalk("那下次再来吧。","","")',
        "  end if",
        "end if",
        "EOF",
    ])
    write_text(script / "hunter.jsr", [
        "// The hunter in the field: a warning, in his own words and the role's.",
        'NpcTalk("小心！魔王在原野西边游荡，","它一看见你就会追过来。","")',
        'PlayerTalk("我会打败它的。","","")',
        'NpcTalk("用魔法吧：火球、冰刃和雷击。","站着不动能恢复魔法。","")',
        "EOF",
    ])
    write_text(script / "clock.jsr", [
        "// Every half second while no other script runs: has the demon king",
        "// fallen? (A monster killed in combat sets <name>_dead.)",
        "if(魔王_dead==1)",
        '  ReadAScriptFile("ending")',
        "end if",
        "EOF",
    ])
    write_text(script / "ending.jsr", [
        "// The end of the story, then back to the title.",
        'CloseClockScript("clock")',
        "// The king's fall may have raised the role's level: its notice would",
        "// end this script when closed, so it goes before the closing talk.",
        'UnloadUIFrame("levelup_frame")',
        'PlayMidi("ending")',
        'Talk("旁白","魔王倒下了，原野重归宁静。","村民们欢呼着勇者的名字。","")',
        'Talk("旁白","—— 全剧终 ——","感谢游玩！","")',
        "FadeIn(1)",
        "LaunchTitle()",
        "EOF",
    ])
