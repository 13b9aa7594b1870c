# bash completion for vexal-tool

_vexal_tool() {
  local cur prev words cword
  _init_completion || return

  local commands="new info convert image render thumbnail apply"
  if ((cword == 1)); then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi

  local models='vxl|rok|obj|dxf|mx|mqo|lwo|3ds|fcw|gltf|glb|stl|wrl|x|xsi|VXL|OBJ|DXF|LWO|3DS|STL'
  case $prev in
    --settings)
      _filedir ini
      return
      ;;
    --type | --open-type | --format | --zoom | --angles | --angle | --width | --height)
      return
      ;;
    -s | --size)
      [[ ${words[1]} == thumbnail ]] && COMPREPLY=($(compgen -W "64 128 256 512" -- "$cur"))
      return
      ;;
    --renderer)
      COMPREPLY=($(compgen -W "gl soft" -- "$cur"))
      return
      ;;
    --view | --mode)
      COMPREPLY=($(compgen -W "wire faces all" -- "$cur"))
      return
      ;;
    --png)
      _filedir png
      return
      ;;
  esac

  local options
  case ${words[1]} in
    new) options="--type" ;;
    info) options="" ;;
    convert) options="--type --open-type --settings" ;;
    image) options="--format --png" ;;
    render) options="--size --width --height --renderer --soft --angles --zoom --view --ortho --settings" ;;
    thumbnail) options="-s" ;;
    apply)
      options="--settings --type --open-type $(vexal-tool apply --help 2>/dev/null |
        grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')"
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    return
  fi
  case ${words[1]} in
    image) _filedir ;;
    render | thumbnail) _filedir "$models|png" ;;
    *) _filedir "$models" ;;
  esac
} &&
  complete -F _vexal_tool vexal-tool
