"""The map editor's own files in the demo game folder: its folder "editor"
with the three attribute lists and the recent-map file naming the demo map
(relative to the game folder, so the folder can be copied); the backup
folders. The sheets, maps and placement lists it opens come from the game's
modules."""
import pathlib

from demofiles import write_text


# ---------------------------------------------------------- attribute lists


def attrib_line(i, name, var, data, control="textbox", restrict="number"):
    return '%d,"%s","%s","%s","%s","%s",#TRUE#,""' % (i, name, control, restrict, data, var)


NPC_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "村民", "textbox", "all"), ("图像帧", "curpicindex", "12"),
    ("X坐标", "lx", "0"), ("Y坐标", "ly", "0"), ("对话脚本", "script", "NULL", "textbox", "english"),
    ("速度", "speed", "1"), ("动画速度", "animspeed", "4"), ("碰撞框左", "eleft", "4"),
    ("碰撞框上", "etop", "32"), ("碰撞框右", "eright", "28"), ("碰撞框下", "ebottom", "46"),
    ("分割线", "division", "30"), ("活动", "active", "1", "combobox"), ("生命", "hp", "100"),
    ("透明度", "alpha", "-1"),
]

MONSTER_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "史莱姆", "textbox", "all"), ("图像帧", "curpicindex", "6"),
    ("X坐标", "lx", "0"), ("Y坐标", "ly", "0"), ("脚本", "script", "NULL", "textbox", "english"),
    ("速度", "speed", "1"), ("动画速度", "animspeed", "4"), ("碰撞框左", "eleft", "8"),
    ("碰撞框上", "etop", "24"), ("碰撞框右", "eright", "56"), ("碰撞框下", "ebottom", "60"),
    ("分割线", "division", "40"), ("生命", "hp", "50"), ("魔法", "mp", "0"), ("攻击", "attack", "10"),
    ("防御", "defence", "2"), ("魔法种类", "magickind", "-1"), ("暴击率", "critical", "5"),
    ("活动", "active", "1", "combobox"), ("等级", "level", "1"), ("寻路后模式", "astarmode", "0"),
    ("保留整数", "reserved", "0"), ("经验奖励", "exp", "10"), ("金钱奖励", "gold", "5"),
    ("保留文字", "reservedtext", "NULL", "textbox", "all"), ("死亡音效", "deathwave", "NULL", "textbox", "english"),
    ("透明度", "alpha", "-1"), ("攻击间隔", "attackinterval", "1000"),
]

ROLE_ATTRIBS = [
    ("种类", "id", "0"), ("名字", "name", "主角", "textbox", "all"), ("方向", "direction", "1"),
    ("X坐标", "lx", "320"), ("Y坐标", "ly", "240"), ("速度", "speed", "2"), ("动画速度", "animspeed", "4"),
    ("碰撞框左", "eleft", "4"), ("碰撞框上", "etop", "32"), ("碰撞框右", "eright", "28"),
    ("碰撞框下", "ebottom", "46"), ("生命", "hp", "100"), ("魔法", "mp", "50"), ("攻击", "attack", "12"),
    ("防御", "defence", "8"), ("等级", "level", "1"), ("经验", "exp", "0"), ("升级经验", "nextexp", "100"),
    ("脚步声", "footstep", "NULL", "textbox", "english"), ("金钱", "gold", "0"), ("透明度", "alpha", "-1"),
]


def attrib_lines(records):
    out = []
    for i, rec in enumerate(records):
        name, var, data = rec[:3]
        control = rec[3] if len(rec) > 3 else "textbox"
        restrict = rec[4] if len(rec) > 4 else "number"
        out.append(attrib_line(i, name, var, data, control, restrict))
    return out




def generate(root):
    root = pathlib.Path(root)
    editor = root / "editor"
    editor.mkdir(parents=True, exist_ok=True)
    write_text(editor / "RoleAttribList.txt", attrib_lines(ROLE_ATTRIBS))
    write_text(editor / "NpcAttribList.txt", attrib_lines(NPC_ATTRIBS))
    write_text(editor / "MonsterAttribList.txt", attrib_lines(MONSTER_ATTRIBS))
    (root / "Map" / "BMap").mkdir(parents=True, exist_ok=True)
    (root / "Script" / "BScript").mkdir(parents=True, exist_ok=True)

    # The recent map, so that Ctrl+D opens the demo map at once; named from
    # the game folder, so that a copy of the folder opens its own map.
    write_text(editor / "RecentMap.txt", ['"Map\\demo.jmap"'])
