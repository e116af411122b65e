-- Starts quillon-lsp for MapBasic buffers in Neovim 0.7 and later. Put this file on the
-- runtime path (or :luafile it) and set the filetype of .mb files to "mapbasic".
--   vim.g.quillon_lsp_cmd        the program (default: quillon-lsp on PATH)
--   vim.g.quillon_mapbasic_folder the MapBasic folder holding MapBasic.exe (optional)
vim.cmd([[autocmd BufRead,BufNewFile *.mb,*.MB,*.def,*.DEF setfiletype mapbasic]])

-- The nearest folder upwards that holds a project, else the file's own folder.
local function root_of(file)
  local dir = vim.fn.fnamemodify(file, ':p:h')
  local up = dir
  while up ~= '' do
    if vim.fn.glob(up .. '/*.mbp') ~= '' then return up end
    local parent = vim.fn.fnamemodify(up, ':h')
    if parent == up then break end
    up = parent
  end
  return dir
end

local clients = {}

local function attach(buffer)
  local root = root_of(vim.api.nvim_buf_get_name(buffer))
  local id = clients[root]
  if not id then
    id = vim.lsp.start_client({
      name = 'quillon-lsp',
      cmd = { vim.g.quillon_lsp_cmd or 'quillon-lsp' },
      root_dir = root,
      init_options = { mapbasicFolder = vim.g.quillon_mapbasic_folder or '' },
      on_attach = function(_, b)
        local opts = { buffer = b, silent = true }
        vim.keymap.set('n', 'gd', vim.lsp.buf.definition, opts)
        vim.keymap.set('n', 'gr', vim.lsp.buf.references, opts)
        vim.keymap.set('n', 'K', vim.lsp.buf.hover, opts)
        vim.keymap.set('i', '<C-k>', vim.lsp.buf.signature_help, opts)
        vim.bo[b].omnifunc = 'v:lua.vim.lsp.omnifunc'
      end,
    })
    clients[root] = id
  end
  if id then vim.lsp.buf_attach_client(buffer, id) end
end

vim.api.nvim_create_autocmd('FileType', {
  pattern = 'mapbasic',
  callback = function(args) attach(args.buf) end,
})
